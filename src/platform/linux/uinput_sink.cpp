#include "platform/linux/uinput_sink.h"

#include <unistd.h>

namespace ondrel::uinput {

bool available() { return access("/dev/uinput", W_OK) == 0; }

std::unique_ptr<InputSink> open_sink(InputDeviceKind, const std::string&, std::string& why_not) {
  why_not = available() ? "uinput devices are not available yet" : "/dev/uinput is not writable";
  return nullptr;
}

}  // namespace ondrel::uinput
