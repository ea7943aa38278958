#pragma once

#include <memory>
#include <string>

#include "devices/device_backend.h"
#include "platform/windows/keyboard_backend.h"

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

// The keyboard goes through the Windows keyboard back end, on every system,
// so that the pause it makes inside each key counts; its injections are
// taken and dropped. The only place here that knows how that back end is
// built.
struct TakingSink final : InputSink {
  HidResult send_input(const win32::Input&) override { return HidResult::success(); }
};

inline BackendFactory windows_keyboard_factory() {
  return [](const std::string&, std::unique_ptr<DeviceBackend>& out) {
    out = std::make_unique<WindowsKeyboardBackend>(std::make_unique<TakingSink>());
    return HidResult::success();
  };
}

}  // namespace ondrel::bench
