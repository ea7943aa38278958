#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "devices/keyboard_report.h"

namespace ondrel::win32 {

// Keyboard/Keypad page usages and the Windows virtual keys that play them.
// `extended` marks the navigation keys: without KEYEVENTF_EXTENDEDKEY
// Windows takes a virtual-key-only event for them as the numeric keypad's
// key of the same name, so that for example Shift with an arrow does not
// select text.
struct UsageKeys {
  std::uint8_t first_usage;
  std::uint8_t last_usage;
  std::uint16_t first_virtual_key;  // of first_usage; the rest follow in order
  bool extended;
};

inline constexpr bool kExtended = true;
inline constexpr bool kPlain = false;

// Usages not covered give no event: 0 to 3, 0x32 (non-US hash key), 0x46 to
// 0x48 (Print Screen, Scroll Lock, Pause) and everything from 0x53 on.
inline constexpr auto kUsageKeys = std::to_array<UsageKeys>({
    // usages     virtual key
    {0x04, 0x1D, 0x41, kPlain},     // A to Z
    {0x1E, 0x26, 0x31, kPlain},     // 1 to 9
    {0x27, 0x27, 0x30, kPlain},     // 0
    {0x28, 0x28, 0x0D, kPlain},     // Enter          VK_RETURN
    {0x29, 0x29, 0x1B, kPlain},     // Escape         VK_ESCAPE
    {0x2A, 0x2A, 0x08, kPlain},     // Backspace      VK_BACK
    {0x2B, 0x2B, 0x09, kPlain},     // Tab            VK_TAB
    {0x2C, 0x2C, 0x20, kPlain},     // Space          VK_SPACE
    {0x2D, 0x2D, 0xBD, kPlain},     // - _            VK_OEM_MINUS
    {0x2E, 0x2E, 0xBB, kPlain},     // = +            VK_OEM_PLUS
    {0x2F, 0x2F, 0xDB, kPlain},     // [ {            VK_OEM_4
    {0x30, 0x30, 0xDD, kPlain},     // ] }            VK_OEM_6
    {0x31, 0x31, 0xDC, kPlain},     // \ |            VK_OEM_5
    {0x33, 0x33, 0xBA, kPlain},     // ; :            VK_OEM_1
    {0x34, 0x34, 0xDE, kPlain},     // ' "            VK_OEM_7
    {0x35, 0x35, 0xC0, kPlain},     // ` ~            VK_OEM_3
    {0x36, 0x36, 0xBC, kPlain},     // , <            VK_OEM_COMMA
    {0x37, 0x37, 0xBE, kPlain},     // . >            VK_OEM_PERIOD
    {0x38, 0x38, 0xBF, kPlain},     // / ?            VK_OEM_2
    {0x39, 0x39, 0x14, kPlain},     // Caps Lock      VK_CAPITAL
    {0x3A, 0x45, 0x70, kPlain},     // F1 to F12      VK_F1 to VK_F12
    {0x49, 0x49, 0x2D, kExtended},  // Insert         VK_INSERT
    {0x4A, 0x4A, 0x24, kExtended},  // Home           VK_HOME
    {0x4B, 0x4B, 0x21, kExtended},  // Page Up        VK_PRIOR
    {0x4C, 0x4C, 0x2E, kExtended},  // Delete         VK_DELETE
    {0x4D, 0x4D, 0x23, kExtended},  // End            VK_END
    {0x4E, 0x4E, 0x22, kExtended},  // Page Down      VK_NEXT
    {0x4F, 0x4F, 0x27, kExtended},  // Right arrow    VK_RIGHT
    {0x50, 0x50, 0x25, kExtended},  // Left arrow     VK_LEFT
    {0x51, 0x51, 0x28, kExtended},  // Down arrow     VK_DOWN
    {0x52, 0x52, 0x26, kExtended},  // Up arrow       VK_UP
});

struct VirtualKey {
  std::uint16_t code;
  bool extended;
};

// The virtual key that plays `usage`, if it has one.
std::optional<VirtualKey> virtual_key_for_usage(std::uint8_t usage);

// Report modifier bits and their virtual keys, in the order they are pressed
// and released.
struct ModifierKey {
  std::uint8_t bit;
  std::uint16_t virtual_key;
};

inline constexpr auto kModifierKeys = std::to_array<ModifierKey>({
    {modifier_bit::left_control, 0xA2},  // VK_LCONTROL
    {modifier_bit::left_shift, 0xA0},    // VK_LSHIFT
    {modifier_bit::left_alt, 0xA4},      // VK_LMENU
    {modifier_bit::left_gui, 0x5B},      // VK_LWIN
});

}  // namespace ondrel::win32
