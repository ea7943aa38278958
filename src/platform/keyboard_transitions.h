#pragma once

#include <cstdint>
#include <memory>

#include "devices/device_backend.h"
#include "devices/keyboard_report.h"
#include "platform/input_sink.h"

namespace ondrel {

// Keeps what it has made the system hold and injects only the changes that
// each report makes to it, as a real keyboard does: keys up, modifiers up,
// modifiers down, keys down. Every system's keyboard. So a combination is never seen half-built or
// with a stray modifier tap, and a key stays down from one report to the
// next until a report lets go of it.
class KeyboardTransitions final : public DeviceBackend {
 public:
  explicit KeyboardTransitions(std::unique_ptr<InputSink> sink) : sink_(std::move(sink)) {}

  HidResult send_report(std::span<const std::uint8_t> report) override;
  // Lets go of nothing: a key held in the system stays down.
  HidResult destroy() override { return HidResult::success(); }

  // What the system holds because of this back end: the modifier bits and,
  // in the slots of the report that put them there, the keys (each once,
  // only keys of the key table).
  [[nodiscard]] const KeyboardReport& held() const { return held_; }

 private:
  HidResult inject(std::uint8_t usage, bool down);
  HidResult release_keys(const KeyboardReport& next);
  HidResult change_modifiers(std::uint8_t modifiers);
  HidResult press_keys(const KeyboardReport& next);
  [[nodiscard]] bool holds_key(std::uint8_t usage) const;

  std::unique_ptr<InputSink> sink_;
  KeyboardReport held_{};
};

}  // namespace ondrel
