#include "devices/name_folding.h"

namespace ondrel {
namespace {

constexpr std::string_view kKelvinSign = "\xE2\x84\xAA";  // U+212A in UTF-8

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<std::string> fold_table_name(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x80) {
      folded.push_back(ascii_lower(name[i]));
      ++i;
    } else if (name.substr(i, kKelvinSign.size()) == kKelvinSign) {
      folded.push_back('k');
      i += kKelvinSign.size();
    } else {
      return std::nullopt;
    }
  }
  return folded;
}

}  // namespace ondrel
