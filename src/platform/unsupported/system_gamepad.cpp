#include "platform/system_gamepad.h"

namespace ondrel {

// As on Windows, the one system without a gamepad of ours whose driver is known.
HidError gamepad_missing() { return HidError::platform_not_supported("Windows gamepad requires ViGEmBus driver"); }

HidResult open_system_gamepad(const std::string&, std::unique_ptr<DeviceBackend>&) { return gamepad_missing(); }

}  // namespace ondrel
