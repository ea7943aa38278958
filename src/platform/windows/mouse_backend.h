#pragma once

#include <cstdint>
#include <memory>

#include "devices/device_backend.h"
#include "platform/windows/send_input.h"

namespace ondrel {

// Plays each mouse report as SendInput events: motion, then button
// transitions against the previous report, then the wheel.
class WindowsMouseBackend final : public DeviceBackend {
 public:
  explicit WindowsMouseBackend(std::unique_ptr<InputSink> sink) : sink_(std::move(sink)) {}

  HidResult send_report(std::span<const std::uint8_t> report) override;
  HidResult destroy() override { return HidResult::success(); }

  // The buttons the system holds because of this back end.
  [[nodiscard]] std::uint8_t previous_buttons() const { return previous_buttons_; }

 private:
  HidResult inject_buttons(std::uint8_t buttons);

  std::unique_ptr<InputSink> sink_;
  std::uint8_t previous_buttons_ = 0;
};

}  // namespace ondrel
