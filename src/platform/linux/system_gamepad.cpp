#include "platform/system_gamepad.h"

#include "platform/linux/uinput_gamepad_backend.h"
#include "platform/linux/uinput_sink.h"

namespace ondrel {

HidError gamepad_missing() {
  return HidError::platform_not_supported(
      "the Linux gamepad needs a writable /dev/uinput (load the uinput module and grant write access, e.g. with a "
      "udev rule)");
}

HidResult open_system_gamepad(const std::string& device_name, std::unique_ptr<DeviceBackend>& out) {
  if (!uinput::available()) return gamepad_missing();
  std::string why_not;
  auto backend = uinput::UinputGamepadBackend::open(device_name, why_not);
  if (!backend) return HidError::platform_not_supported("the Linux gamepad could not be created: " + why_not);
  out = std::move(backend);
  return HidResult::success();
}

}  // namespace ondrel
