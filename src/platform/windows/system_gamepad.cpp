#include "platform/system_gamepad.h"

namespace ondrel {

// No gamepad driver is used on Windows; the text names the one it would need.
HidError gamepad_missing() { return HidError::platform_not_supported("Windows gamepad requires ViGEmBus driver"); }

HidResult open_system_gamepad(const std::string&, std::unique_ptr<DeviceBackend>&) { return gamepad_missing(); }

}  // namespace ondrel
