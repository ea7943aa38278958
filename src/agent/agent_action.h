#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace ondrel {

// One decoded agent action. The names inside (buttons, keys, modifiers) are
// kept as written; running the action interprets them. A mouse action without
// a button means the left one.

struct MouseMove {
  std::int32_t x = 0;  // relative
  std::int32_t y = 0;
  friend bool operator==(const MouseMove&, const MouseMove&) = default;
};

struct MouseClick {
  std::optional<std::string> button;
  friend bool operator==(const MouseClick&, const MouseClick&) = default;
};

struct MouseDoubleClick {
  std::optional<std::string> button;
  friend bool operator==(const MouseDoubleClick&, const MouseDoubleClick&) = default;
};

struct MouseDown {
  std::optional<std::string> button;
  friend bool operator==(const MouseDown&, const MouseDown&) = default;
};

struct MouseUp {
  std::optional<std::string> button;
  friend bool operator==(const MouseUp&, const MouseUp&) = default;
};

struct MouseScroll {
  std::int8_t delta = 0;
  friend bool operator==(const MouseScroll&, const MouseScroll&) = default;
};

struct Type {
  std::string text;
  friend bool operator==(const Type&, const Type&) = default;
};

struct KeyPress {
  std::string key;
  friend bool operator==(const KeyPress&, const KeyPress&) = default;
};

struct KeyDown {
  std::string key;
  friend bool operator==(const KeyDown&, const KeyDown&) = default;
};

struct KeyUp {
  std::string key;
  friend bool operator==(const KeyUp&, const KeyUp&) = default;
};

struct KeyCombo {
  std::vector<std::string> modifiers;
  std::string key;
  friend bool operator==(const KeyCombo&, const KeyCombo&) = default;
};

struct GamepadPress {
  std::string button;
  friend bool operator==(const GamepadPress&, const GamepadPress&) = default;
};

struct GamepadRelease {
  std::string button;
  friend bool operator==(const GamepadRelease&, const GamepadRelease&) = default;
};

struct GamepadLeftStick {
  std::uint8_t x = 0;  // absolute, 128 is the centre
  std::uint8_t y = 0;
  friend bool operator==(const GamepadLeftStick&, const GamepadLeftStick&) = default;
};

struct GamepadRightStick {
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  friend bool operator==(const GamepadRightStick&, const GamepadRightStick&) = default;
};

struct GamepadTriggers {
  std::uint8_t left = 0;  // absolute, 0 is released
  std::uint8_t right = 0;
  friend bool operator==(const GamepadTriggers&, const GamepadTriggers&) = default;
};

// The alternatives stand in the order of the tag table (action_schema.h),
// which checks that they match.
using AgentAction =
    std::variant<MouseMove, MouseClick, MouseDoubleClick, MouseDown, MouseUp, MouseScroll, Type, KeyPress, KeyDown,
                 KeyUp, KeyCombo, GamepadPress, GamepadRelease, GamepadLeftStick, GamepadRightStick, GamepadTriggers>;

}  // namespace ondrel
