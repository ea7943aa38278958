#pragma once

#include <cstdint>
#include <memory>

#include "devices/device_backend.h"
#include "platform/windows/send_input.h"

namespace ondrel {

// Plays each keyboard report on its own, with no memory of the previous
// one: modifiers down, each key down and up, modifiers up. So no key stays
// down in the system between reports (failures aside), and an empty report
// plays nothing.
class WindowsKeyboardBackend final : public DeviceBackend {
 public:
  static constexpr unsigned kKeyHoldMs = 5;

  explicit WindowsKeyboardBackend(std::unique_ptr<InputSink> sink) : sink_(std::move(sink)) {}

  HidResult send_report(std::span<const std::uint8_t> report) override;
  HidResult destroy() override { return HidResult::success(); }

 private:
  HidResult inject(std::uint16_t virtual_key, std::uint32_t flags);
  HidResult inject_modifiers(std::uint8_t modifiers, std::uint32_t flags);
  HidResult tap_key(std::uint8_t usage);

  std::unique_ptr<InputSink> sink_;
};

}  // namespace ondrel
