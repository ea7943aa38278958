#pragma once

#include <cstdint>
#include <variant>

namespace ondrel {

// What a device's report changes in the system, in no system's terms: the
// language between the report-to-change state machines above and each
// system's sink below. Each change is one event that goes in or fails whole.

// The mouse report has the first three; back and forward (the side
// buttons) are the computer layer's.
enum class PointerButton : std::uint8_t { left, right, middle, back, forward };

struct PointerMotion {
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  bool operator==(const PointerMotion&) const = default;
};

struct ButtonChange {
  PointerButton button;
  bool down;
  bool operator==(const ButtonChange&) const = default;
};

// Whole notches of the vertical wheel; positive turns away from the user.
struct WheelTurn {
  std::int32_t notches = 0;
  bool operator==(const WheelTurn&) const = default;
};

// A key named by its Keyboard/Keypad page usage (the left-hand modifiers are
// 0xE0 to 0xE3), one of key_codes.h.
struct KeyChange {
  std::uint8_t usage;
  bool down;
  bool operator==(const KeyChange&) const = default;
};

using InputChange = std::variant<PointerMotion, ButtonChange, WheelTurn, KeyChange>;

}  // namespace ondrel
