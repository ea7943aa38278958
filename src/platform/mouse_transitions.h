#pragma once

#include <cstdint>
#include <memory>

#include "devices/device_backend.h"
#include "platform/input_sink.h"

namespace ondrel {

// Turns each mouse report into changes: motion, then the button transitions
// from what the system holds, then the wheel. Every system's mouse.
class MouseTransitions final : public DeviceBackend {
 public:
  explicit MouseTransitions(std::unique_ptr<InputSink> sink) : sink_(std::move(sink)) {}

  HidResult send_report(std::span<const std::uint8_t> report) override;
  HidResult destroy() override { return HidResult::success(); }

  // The buttons the system holds because of this back end.
  [[nodiscard]] std::uint8_t held_buttons() const { return held_buttons_; }

 private:
  HidResult change_buttons(std::uint8_t buttons);

  std::unique_ptr<InputSink> sink_;
  std::uint8_t held_buttons_ = 0;
};

}  // namespace ondrel
