#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

namespace ondrel::testing {

// `libinput debug-events --udev seat0` running beside the test, as a
// compositor's libinput sees the devices. Its output goes to a
// pseudo-terminal, where it comes line by line rather than when a pipe's
// buffer fills. The process ends with the object.
class LibinputEvents {
 public:
  LibinputEvents();
  LibinputEvents(const LibinputEvents&) = delete;
  LibinputEvents& operator=(const LibinputEvents&) = delete;
  ~LibinputEvents();

  [[nodiscard]] bool started() const { return pid_ > 0; }
  // The next line (colours removed) that contains `needle`, skipping the
  // lines before it, or nothing by `timeout`.
  std::optional<std::string> next_line_with(const std::string& needle, std::chrono::milliseconds timeout);

 private:
  std::optional<std::string> next_line(std::chrono::steady_clock::time_point deadline);
  int terminal_ = -1;
  pid_t pid_ = -1;
  std::string pending_;
};

// `udevadm info --query=property` of a device node: NAME=value lines.
std::string udev_properties(const std::string& node);

}  // namespace ondrel::testing
