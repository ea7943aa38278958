#pragma once

#include <string>

#include "support/terminal_program.h"

namespace ondrel::testing {

// `libinput debug-events --udev seat0` running beside the test, as a
// compositor's libinput sees the devices.
class LibinputEvents : public TerminalProgram {
 public:
  LibinputEvents() : TerminalProgram({"/usr/bin/libinput", "debug-events", "--udev", "seat0"}) {}
};

// `udevadm info --query=property` of a device node: NAME=value lines.
std::string udev_properties(const std::string& node);

}  // namespace ondrel::testing
