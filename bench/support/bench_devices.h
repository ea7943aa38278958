#pragma once

#include <memory>
#include <string>

#include "devices/device_backend.h"
#include "platform/keyboard_transitions.h"
#include "support/replaying_keyboard_backend.h"

namespace ondrel::bench {

// Takes every report and does nothing with it, so that a device operation
// takes exactly its own time.
class DiscardingBackend final : public DeviceBackend {
 public:
  HidResult send_report(std::span<const std::uint8_t>) override { return HidResult::success(); }
  HidResult destroy() override { return HidResult::success(); }
};

inline BackendFactory discarding_factory() {
  return [](const std::string&, std::unique_ptr<DeviceBackend>& out) {
    out = std::make_unique<DiscardingBackend>();
    return HidResult::success();
  };
}

// The keyboard goes through the keyboard transitions, as on every system,
// so that whatever time they take counts; their changes are taken and
// dropped. The only place here that knows how the back ends are built.
struct TakingSink final : InputSink {
  HidResult apply(const InputChange&) override { return HidResult::success(); }
};

template <class Backend>
BackendFactory keyboard_factory() {
  return [](const std::string&, std::unique_ptr<DeviceBackend>& out) {
    out = std::make_unique<Backend>(std::make_unique<TakingSink>());
    return HidResult::success();
  };
}

inline BackendFactory transitions_keyboard_factory() { return keyboard_factory<KeyboardTransitions>(); }
// The back end before it kept what it holds, for comparison.
inline BackendFactory replaying_keyboard_factory() { return keyboard_factory<ReplayingKeyboardBackend>(); }

}  // namespace ondrel::bench
