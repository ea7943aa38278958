#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "devices/device_backend.h"
#include "devices/pause.h"
#include "platform/key_codes.h"
#include "platform/input_sink.h"

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
    ONDREL_TRY(inject_modifiers(report[0], true));
    for (const std::uint8_t usage : report.subspan(2, 6)) {
      if (key_codes_for_usage(usage) == nullptr) continue;
      ONDREL_TRY(inject(usage, true));
      pause_ms(kKeyHoldMs);
      ONDREL_TRY(inject(usage, false));
    }
    return inject_modifiers(report[0], false);
  }
  HidResult destroy() override { return HidResult::success(); }

 private:
  HidResult inject(std::uint8_t usage, bool down) { return sink_->apply(KeyChange{usage, down}); }
  HidResult inject_modifiers(std::uint8_t modifiers, bool down) {
    for (const ModifierKeyCodes& modifier : kModifierKeyCodes)
      if ((modifiers & modifier.bit) != 0) ONDREL_TRY(inject(modifier.usage, down));
    return HidResult::success();
  }

  std::unique_ptr<InputSink> sink_;
};

}  // namespace ondrel::bench
