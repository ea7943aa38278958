#include "platform/system_gamepad.h"

#include "platform/gamepad_transitions.h"
#include "platform/linux/uinput/device.h"
#include "platform/linux/uinput/gamepad_sink.h"

namespace ondrel {

HidError gamepad_missing() {
  return HidError::platform_not_supported(
      "the Linux gamepad needs a writable /dev/uinput (load the uinput module and grant write access, e.g. with a "
      "udev rule)");
}

HidResult open_system_gamepad(const std::string& device_name, std::unique_ptr<DeviceBackend>& out) {
  if (!linux::uinput::available()) return gamepad_missing();
  Expected<std::unique_ptr<linux::uinput::GamepadSink>> sink = linux::uinput::GamepadSink::open(device_name);
  if (!sink.ok()) return HidError::platform_not_supported("the Linux gamepad could not be created: " + sink.error());
  out = std::make_unique<GamepadTransitions>(std::move(sink).take());
  return HidResult::success();
}

}  // namespace ondrel
