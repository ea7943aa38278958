#pragma once

#include <linux/input-event-codes.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "devices/gamepad_buttons.h"
#include "devices/gamepad_report.h"
#include "platform/gamepad_transitions.h"

namespace ondrel::linux::uinput {

// The gamepad report on a Linux gamepad: each button and axis with the code
// of the kernel's gamepad interface (Documentation/input/gamepad.rst).
struct GamepadButtonCode {
  GamepadButton button;
  std::uint16_t code;
};

inline constexpr auto kGamepadButtonCodes = std::to_array<GamepadButtonCode>({
    {GamepadButton::A, BTN_SOUTH},
    {GamepadButton::B, BTN_EAST},
    // X and Y are not gamepad.rst's west and north, because SDL, Steam Input
    // and the games on them read X from BTN_X and Y from BTN_Y, as xpad sends them.
    {GamepadButton::X, BTN_X},
    {GamepadButton::Y, BTN_Y},
    {GamepadButton::LeftBumper, BTN_TL},
    {GamepadButton::RightBumper, BTN_TR},
    {GamepadButton::Back, BTN_SELECT},
    {GamepadButton::Start, BTN_START},
    {GamepadButton::Guide, BTN_MODE},
    {GamepadButton::LeftStickPress, BTN_THUMBL},
    {GamepadButton::RightStickPress, BTN_THUMBR},
    {GamepadButton::DpadUp, BTN_DPAD_UP},
    {GamepadButton::DpadDown, BTN_DPAD_DOWN},
    {GamepadButton::DpadLeft, BTN_DPAD_LEFT},
    {GamepadButton::DpadRight, BTN_DPAD_RIGHT},
});

// Each axis is declared 0..255 and carries its report byte unchanged, the
// stick's centre 128 included: no direction or dead zone is added.
struct GamepadAxisCode {
  GamepadAxis axis;
  std::uint8_t neutral;
  std::uint16_t code;
};

inline constexpr auto kGamepadAxisCodes = std::to_array<GamepadAxisCode>({
    {GamepadAxis::left_x, kStickCentre, ABS_X},
    {GamepadAxis::left_y, kStickCentre, ABS_Y},
    {GamepadAxis::right_x, kStickCentre, ABS_RX},
    {GamepadAxis::right_y, kStickCentre, ABS_RY},
    {GamepadAxis::left_trigger, 0, ABS_Z},
    {GamepadAxis::right_trigger, 0, ABS_RZ},
});

inline constexpr std::int32_t kGamepadAxisMinimum = 0;
inline constexpr std::int32_t kGamepadAxisMaximum = 255;

}  // namespace ondrel::linux::uinput
