#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "devices/device_backend.h"
#include "devices/pause.h"
#include "platform/key_codes.h"
#include "platform/windows/send_input.h"

namespace ondrel::bench {

// The keyboard back end as it was before it kept what it holds, kept here
// only to be measured next to the current one: each report is played on its
// own (modifiers down, each key down, 5 ms, up, modifiers up).
class ReplayingKeyboardBackend final : public DeviceBackend {
 public:
  static constexpr unsigned kKeyHoldMs = 5;

  explicit ReplayingKeyboardBackend(std::unique_ptr<InputSink> sink) : sink_(std::move(sink)) {}

  HidResult send_report(std::span<const std::uint8_t> report) override {
    if (report.size() < 8) return HidError::send_failed("Invalid keyboard report");
    ONDREL_TRY(inject_modifiers(report[0], 0));
    for (const std::uint8_t usage : report.subspan(2, 6)) {
      const KeyCodes* key = key_codes_for_usage(usage);
      if (key == nullptr) continue;
      const std::uint32_t extended = key->extended ? win32::key_flag::extended_key : 0;
      ONDREL_TRY(inject(key->virtual_key, extended));
      pause_ms(kKeyHoldMs);
      ONDREL_TRY(inject(key->virtual_key, extended | win32::key_flag::key_up));
    }
    return inject_modifiers(report[0], win32::key_flag::key_up);
  }
  HidResult destroy() override { return HidResult::success(); }

 private:
  HidResult inject(std::uint16_t virtual_key, std::uint32_t flags) {
    return win32::inject(*sink_, win32::keyboard_input(virtual_key, flags));
  }
  HidResult inject_modifiers(std::uint8_t modifiers, std::uint32_t flags) {
    for (const ModifierKeyCodes& modifier : kModifierKeyCodes)
      if ((modifiers & modifier.bit) != 0) ONDREL_TRY(inject(modifier.virtual_key, flags));
    return HidResult::success();
  }

  std::unique_ptr<InputSink> sink_;
};

}  // namespace ondrel::bench
