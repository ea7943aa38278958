#pragma once

#include <memory>

#include "platform/computer_system.h"

// The Linux systems a Computer can drive.

namespace ondrel::linux::x11 {
// The X display of DISPLAY, through XTEST.
Expected<std::unique_ptr<ComputerSystem>> open_computer_system();
}  // namespace ondrel::linux::x11

namespace ondrel::linux::uinput {
// An absolute pointer and a keyboard of this process's own, spanning
// `screen_size` (uinput cannot ask the compositor for it).
Expected<std::unique_ptr<ComputerSystem>> open_computer_system(Size screen_size);
}  // namespace ondrel::linux::uinput
