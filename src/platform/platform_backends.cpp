#include "platform/platform_backends.h"

#include <memory>

#include "platform/windows/keyboard_backend.h"
#include "platform/windows/mouse_backend.h"

#ifndef _WIN32
#include "platform/recorder/gamepad_recording_backend.h"
#include "platform/recorder/recorder_journal.h"
#endif

namespace ondrel {

BackendFactory platform_mouse_factory() {
  return [](std::unique_ptr<DeviceBackend>& out) {
    out = std::make_unique<WindowsMouseBackend>();
    return HidResult::success();
  };
}

BackendFactory platform_keyboard_factory() {
  return [](std::unique_ptr<DeviceBackend>& out) {
    out = std::make_unique<WindowsKeyboardBackend>();
    return HidResult::success();
  };
}

BackendFactory platform_gamepad_factory() {
  return [](std::unique_ptr<DeviceBackend>& out) -> HidResult {
#ifndef _WIN32
    if (recorder::gamepad_enabled()) {
      out = std::make_unique<GamepadRecordingBackend>();
      return HidResult::success();
    }
#endif
    (void)out;
    return HidError::platform_not_supported("Windows gamepad requires ViGEmBus driver");
  };
}

}  // namespace ondrel
