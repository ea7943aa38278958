#include "platform/linux/x11/authority.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace ondrel::linux::x11 {
namespace {

constexpr std::uint16_t kFamilyWild = 65535;
constexpr const char* kCookieName = "MIT-MAGIC-COOKIE-1";

std::string authority_file() {
  if (const char* named = std::getenv("XAUTHORITY"); named != nullptr && *named != '\0') return named;
  const char* home = std::getenv("HOME");
  return home == nullptr ? std::string() : std::string(home) + "/.Xauthority";
}

// Reads the file's records: a big-endian 16-bit family, then four counted
// strings (address, display number, name, data), each with a big-endian
// 16-bit length.
class AuthorityReader {
 public:
  explicit AuthorityReader(std::string bytes) : bytes_(std::move(bytes)) {}

  bool number(std::uint16_t& out) {
    if (bytes_.size() - offset_ < 2) return false;
    out = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[offset_]) << 8 |
                                     static_cast<unsigned char>(bytes_[offset_ + 1]));
    offset_ += 2;
    return true;
  }

  bool text(std::string& out) {
    std::uint16_t length = 0;
    if (!number(length) || bytes_.size() - offset_ < length) return false;
    out.assign(bytes_, offset_, length);
    offset_ += length;
    return true;
  }

 private:
  std::string bytes_;
  std::size_t offset_ = 0;
};

struct AuthorityRecord {
  std::uint16_t family = 0;
  std::string address, number, name, data;
};

bool next_record(AuthorityReader& reader, AuthorityRecord& record) {
  return reader.number(record.family) && reader.text(record.address) && reader.text(record.number) &&
         reader.text(record.name) && reader.text(record.data);
}

bool matches(const AuthorityRecord& record, const AuthorityAddress& address, const std::string& number) {
  const bool same_address =
      record.family == kFamilyWild || (record.family == address.family && record.address == address.address);
  return same_address && (record.number.empty() || record.number == number) && record.name == kCookieName;
}

}  // namespace

std::optional<Cookie> find_cookie(const AuthorityAddress& address, int number) {
  const std::string path = authority_file();
  if (path.empty()) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  AuthorityReader reader(std::string(std::istreambuf_iterator<char>(file), {}));
  const std::string display = std::to_string(number);
  AuthorityRecord record;
  while (next_record(reader, record)) {
    if (matches(record, address, display)) return Cookie{record.name, record.data};
  }
  return std::nullopt;
}

}  // namespace ondrel::linux::x11
