#include "platform/platform_backends.h"

#include <memory>

#include "platform/keyboard_transitions.h"
#include "platform/mouse_transitions.h"
#include "platform/recorder/gamepad_backend.h"
#include "platform/recorder/journal.h"
#include "platform/system_gamepad.h"
#include "platform/system_sink.h"

namespace ondrel {
namespace {

// The transitions are every system's: only the sink their changes go to
// differs.
template <class Backend>
BackendFactory injecting_factory(InputDeviceKind kind) {
  return [kind](const std::string& device_name, std::unique_ptr<DeviceBackend>& out) {
    std::unique_ptr<InputSink> sink;
    ONDREL_TRY(open_device_sink(kind, device_name, sink));
    out = std::make_unique<Backend>(std::move(sink));
    return HidResult::success();
  };
}

}  // namespace

BackendFactory platform_mouse_factory() { return injecting_factory<MouseTransitions>(InputDeviceKind::mouse); }

BackendFactory platform_keyboard_factory() {
  return injecting_factory<KeyboardTransitions>(InputDeviceKind::keyboard);
}

// The recorder's gamepad switch comes first; a gamepad created while the
// recorder is otherwise started never reaches the system, which the recorder
// hides as if it had no gamepad.
BackendFactory platform_gamepad_factory() {
  return [](const std::string& device_name, std::unique_ptr<DeviceBackend>& out) -> HidResult {
    if (recorder::gamepad_enabled()) {
      out = std::make_unique<recorder::GamepadBackend>();
      return HidResult::success();
    }
    if (recorder::recording()) return gamepad_missing();
    return open_system_gamepad(device_name, out);
  };
}

}  // namespace ondrel
