#pragma once

#include <memory>
#include <optional>

#include "platform/computer_system.h"

namespace ondrel {

// This operating system's own ComputerSystem, chosen as the devices' system
// is; one definition per system (windows/, linux/).
Expected<std::unique_ptr<ComputerSystem>> open_system_computer(std::optional<Size> screen_size);

}  // namespace ondrel
