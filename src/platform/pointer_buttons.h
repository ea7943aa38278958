#pragma once

#include <array>
#include <cstdint>

#include "platform/input_change.h"

namespace ondrel {

// The pointer's buttons and each system's code for them; the mouse report's
// in the order in which their changes are injected.
struct PointerButtonCodes {
  std::uint8_t report_bit;   // in the mouse report; 0 for a button it lacks
  PointerButton button;
  std::uint32_t down_flag;   // Windows mouse event flags
  std::uint32_t up_flag;
  std::int32_t mouse_data;   // Windows: which X button (XBUTTON1, XBUTTON2)
  std::uint8_t x_button;     // X core button number
  std::uint16_t evdev;       // Linux input code
};

inline constexpr auto kPointerButtonCodes = std::to_array<PointerButtonCodes>({
    {0x01, PointerButton::left, 0x0002, 0x0004, 0, 1, 0x110},     // MOUSEEVENTF_LEFTDOWN/UP    BTN_LEFT
    {0x02, PointerButton::right, 0x0008, 0x0010, 0, 3, 0x111},    // MOUSEEVENTF_RIGHTDOWN/UP   BTN_RIGHT
    {0x04, PointerButton::middle, 0x0020, 0x0040, 0, 2, 0x112},   // MOUSEEVENTF_MIDDLEDOWN/UP  BTN_MIDDLE
    {0x00, PointerButton::back, 0x0080, 0x0100, 1, 8, 0x113},     // MOUSEEVENTF_XDOWN/UP       BTN_SIDE
    {0x00, PointerButton::forward, 0x0080, 0x0100, 2, 9, 0x114},  // MOUSEEVENTF_XDOWN/UP       BTN_EXTRA
});

constexpr const PointerButtonCodes& codes_of(PointerButton button) {
  return kPointerButtonCodes[static_cast<std::size_t>(button)];
}

static_assert([] {
  for (std::size_t i = 0; i < kPointerButtonCodes.size(); ++i)
    if (static_cast<std::size_t>(kPointerButtonCodes[i].button) != i) return false;
  return true;
}(), "one row per button, in PointerButton's order");

}  // namespace ondrel
