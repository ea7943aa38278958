#pragma once

#include <memory>
#include <string>

#include "devices/device_backend.h"
#include "devices/hid_result.h"

namespace ondrel {

// This system's refusal of a gamepad when it has none for us: what is
// missing, as PlatformNotSupported.
HidError gamepad_missing();

// The back end of a new gamepad named `device_name` on this system (on Linux
// a uinput gamepad), or PlatformNotSupported naming what is missing.
HidResult open_system_gamepad(const std::string& device_name, std::unique_ptr<DeviceBackend>& out);

}  // namespace ondrel
