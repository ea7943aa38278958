#pragma once

#include <memory>
#include <string>

#include "devices/hid_result.h"
#include "platform/input_sink.h"

namespace ondrel {

// The sink of the system that takes a new device's input on this machine
// (user32 on Windows; on Linux an X display or a uinput device of the
// device's own), or PlatformNotSupported naming what was looked for.
HidResult open_system_sink(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out);

// The sink that a new mouse or keyboard injects through: the system's, with
// the test recorder in front. While the recorder is started no system is
// opened, so a device created for a test never reaches the real one.
HidResult open_device_sink(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out);

}  // namespace ondrel
