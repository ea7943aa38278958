#include "support/evdev_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <memory>
#include <string_view>

#include "linux/evdev_text.h"

namespace ondrel::testing {
namespace {

constexpr std::size_t kMaxCode = KEY_MAX;

std::vector<std::string> directory_entries(const char* path) {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir(path), closedir);
  if (!directory) return names;
  while (const dirent* entry = readdir(directory.get())) names.emplace_back(entry->d_name);
  return names;
}

std::string first_line(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

}  // namespace

std::optional<std::string> EvdevReader::node_named(const std::string& name) {
  std::optional<std::string> found;
  for (const std::string& entry : directory_entries("/sys/class/input")) {
    if (!std::string_view(entry).starts_with("event")) continue;
    if (first_line("/sys/class/input/" + entry + "/device/name") != name) continue;
    if (found) return std::nullopt;  // not the only one
    found = "/dev/input/" + entry;
  }
  return found;
}

EvdevReader::EvdevReader(const std::string& name) {
  if (const auto node = node_named(name)) {
    node_ = *node;
    fd_ = ::open(node_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  }
}

EvdevReader::~EvdevReader() {
  if (fd_ >= 0) close(fd_);
}

std::vector<input_event> EvdevReader::take_events() {
  std::vector<input_event> events;
  std::array<input_event, 64> chunk{};
  for (;;) {
    const ssize_t bytes = read(fd_, chunk.data(), sizeof chunk);
    if (bytes <= 0) break;
    events.insert(events.end(), chunk.begin(), chunk.begin() + bytes / static_cast<ssize_t>(sizeof(input_event)));
  }
  return events;
}

std::vector<std::string> EvdevReader::take_texts() { return describe(take_events()); }

std::string EvdevReader::device_name() const {
  std::array<char, 256> name{};
  if (ioctl(fd_, EVIOCGNAME(name.size() - 1), name.data()) < 0) return "(EVIOCGNAME failed)";
  return name.data();
}

std::vector<std::uint16_t> EvdevReader::codes(std::uint16_t type) const {
  std::array<unsigned char, kMaxCode / 8 + 1> bits{};
  std::vector<std::uint16_t> set;
  if (ioctl(fd_, EVIOCGBIT(type, bits.size()), bits.data()) < 0) return set;
  for (std::size_t code = 0; code <= kMaxCode; ++code)
    if ((bits[code / 8] >> (code % 8)) & 1) set.push_back(static_cast<std::uint16_t>(code));
  return set;
}

std::vector<std::uint16_t> EvdevReader::event_types() const { return codes(0); }

input_absinfo EvdevReader::axis(std::uint16_t code) const {
  input_absinfo info{};
  ioctl(fd_, EVIOCGABS(code), &info);
  return info;
}

int open_descriptors() {
  int count = 0;
  for (const std::string& entry : directory_entries("/proc/self/fd"))
    if (entry != "." && entry != "..") ++count;
  return count - 1;  // the directory listing's own
}

}  // namespace ondrel::testing
