#include "support/libinput_events.h"

#include <array>
#include <cstdio>
#include <memory>

namespace ondrel::testing {

std::string udev_properties(const std::string& node) {
  const std::string command = "SYSTEMD_IGNORE_CHROOT=1 udevadm info --query=property --name=" + node;
  const std::unique_ptr<FILE, int (*)(FILE*)> output(popen(command.c_str(), "r"), pclose);
  std::string text;
  if (!output) return text;
  std::array<char, 1024> chunk{};
  while (const std::size_t bytes = fread(chunk.data(), 1, chunk.size(), output.get())) text.append(chunk.data(), bytes);
  return text;
}

}  // namespace ondrel::testing
