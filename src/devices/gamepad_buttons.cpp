#include "devices/gamepad_buttons.h"

#include <array>
#include <string>

#include "devices/name_folding.h"

namespace ondrel {
namespace {

constexpr bool yes = true;
constexpr bool no = false;

using enum GamepadButton;

// clang-format off
constexpr std::array kNames = std::to_array<GamepadButtonName>({
  // name           button            parse_button  parse_gamepad_button
  {"a",             A,                yes,          yes},
  {"b",             B,                yes,          yes},
  {"x",             X,                yes,          yes},
  {"y",             Y,                yes,          yes},
  {"lb",            LeftBumper,       yes,          yes},
  {"left_bumper",   LeftBumper,       yes,          yes},
  {"rb",            RightBumper,      yes,          yes},
  {"right_bumper",  RightBumper,      yes,          yes},
  {"back",          Back,             yes,          yes},
  {"select",        Back,             yes,          yes},
  {"start",         Start,            yes,          yes},
  {"guide",         Guide,            yes,          yes},
  {"home",          Guide,            yes,          yes},
  {"ls",            LeftStickPress,   yes,          yes},
  {"left_stick",    LeftStickPress,   yes,          yes},
  {"rs",            RightStickPress,  yes,          yes},
  {"right_stick",   RightStickPress,  yes,          yes},
  {"up",            DpadUp,           yes,          yes},
  {"dpad_up",       DpadUp,           yes,          yes},
  {"down",          DpadDown,         yes,          yes},
  {"dpad_down",     DpadDown,         yes,          yes},
  {"dpad_left",     DpadLeft,         yes,          yes},
  {"dpad_right",    DpadRight,        yes,          yes},
  // Actions also take the bare D-pad directions; the class does not.
  {"left",          DpadLeft,         no,           yes},
  {"right",         DpadRight,        no,           yes},
});
// clang-format on

template <bool GamepadButtonName::*column>
std::optional<std::uint16_t> look_up(std::string_view name) {
  const std::optional<std::string> folded = fold_table_name(name);
  if (!folded) return std::nullopt;
  for (const GamepadButtonName& row : kNames) {
    if (row.*column && row.name == *folded) return bit(row.button);
  }
  return std::nullopt;
}

}  // namespace

std::span<const GamepadButtonName> gamepad_button_names() { return kNames; }

std::optional<std::uint16_t> parse_button(std::string_view name) {
  return look_up<&GamepadButtonName::class_name>(name);
}

HidResult parse_gamepad_button(std::string_view name, std::uint16_t& found_bit) {
  const std::optional<std::uint16_t> found = look_up<&GamepadButtonName::action_name>(name);
  if (!found) return HidError::invalid_action("Unknown gamepad button: " + std::string(name));
  found_bit = *found;
  return HidResult::success();
}

}  // namespace ondrel
