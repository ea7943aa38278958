#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "devices/hid_result.h"

namespace ondrel {

// The bits of GamepadReport's button set. Bit 15 is never used.
enum class GamepadButton : std::uint16_t {
  A = 0x0001,
  B = 0x0002,
  X = 0x0004,
  Y = 0x0008,
  LeftBumper = 0x0010,
  RightBumper = 0x0020,
  Back = 0x0040,
  Start = 0x0080,
  Guide = 0x0100,
  LeftStickPress = 0x0200,
  RightStickPress = 0x0400,
  DpadUp = 0x0800,
  DpadDown = 0x1000,
  DpadLeft = 0x2000,
  DpadRight = 0x4000,
};

constexpr std::uint16_t bit(GamepadButton button) { return static_cast<std::uint16_t>(button); }

// One row of the button-name table: a lower-case name, its button, and
// which lookup knows it.
struct GamepadButtonName {
  std::string_view name;
  GamepadButton button;
  bool class_name;   // parse_button, for the Python class
  bool action_name;  // parse_gamepad_button, for agent actions
};

std::span<const GamepadButtonName> gamepad_button_names();

// The Python class's lookup: case-insensitive; nothing when the name is
// unknown (the class reports that itself, naming the button as given).
std::optional<std::uint16_t> parse_button(std::string_view name);

// The action lookup, which also knows "left" and "right". Sets `found_bit`, or
// fails with InvalidAction "Unknown gamepad button: " + the name as given.
HidResult parse_gamepad_button(std::string_view name, std::uint16_t& found_bit);

// `operation(bit)` for a button name that actions know; an unknown name
// fails with InvalidAction before anything runs.
template <class Operation>
HidResult with_gamepad_button(std::string_view name, Operation&& operation) {
  std::uint16_t bit = 0;
  ONDREL_TRY(parse_gamepad_button(name, bit));
  return operation(bit);
}

}  // namespace ondrel
