#pragma once

#include <memory>
#include <string>

#include "platform/input_sink.h"

namespace ondrel::uinput {

// Whether this process may create uinput devices.
bool available();

// A sink that delivers a `kind` device's records to a uinput device of its
// own named `device_name`, or nullptr with the reason as a short clause in
// `why_not` (for example "/dev/uinput is not writable").
std::unique_ptr<InputSink> open_sink(InputDeviceKind kind, const std::string& device_name, std::string& why_not);

}  // namespace ondrel::uinput
