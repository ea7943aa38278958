#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "devices/keyboard_report.h"

namespace ondrel {

// Every key this library can press, once: its Keyboard/Keypad page usage, the
// Windows virtual key that plays it, and the Linux input code of the same
// physical key (what uinput takes; an X server with evdev keycodes adds 8).
//
// `extended` marks the navigation keys: without KEYEVENTF_EXTENDEDKEY Windows
// takes a virtual-key-only event for them as the numeric keypad's key of the
// same name, so that for example Shift with an arrow does not select text.
// Linux has no such flag: its codes name the physical key already.
struct KeyCodes {
  std::uint8_t usage;
  std::uint16_t virtual_key;
  bool extended;
  std::uint16_t linux_key;
};

inline constexpr bool kExtended = true;
inline constexpr bool kPlain = false;

// Usages not listed give no event: 0 to 3, 0x32 (non-US hash key), 0x46 to
// 0x48 (Print Screen, Scroll Lock, Pause) and everything from 0x53 on.
inline constexpr auto kKeyCodes = std::to_array<KeyCodes>({
    // usage  virtual key             Linux
    {0x04, 0x41, kPlain, 30},     // A            KEY_A
    {0x05, 0x42, kPlain, 48},     // B            KEY_B
    {0x06, 0x43, kPlain, 46},     // C            KEY_C
    {0x07, 0x44, kPlain, 32},     // D            KEY_D
    {0x08, 0x45, kPlain, 18},     // E            KEY_E
    {0x09, 0x46, kPlain, 33},     // F            KEY_F
    {0x0A, 0x47, kPlain, 34},     // G            KEY_G
    {0x0B, 0x48, kPlain, 35},     // H            KEY_H
    {0x0C, 0x49, kPlain, 23},     // I            KEY_I
    {0x0D, 0x4A, kPlain, 36},     // J            KEY_J
    {0x0E, 0x4B, kPlain, 37},     // K            KEY_K
    {0x0F, 0x4C, kPlain, 38},     // L            KEY_L
    {0x10, 0x4D, kPlain, 50},     // M            KEY_M
    {0x11, 0x4E, kPlain, 49},     // N            KEY_N
    {0x12, 0x4F, kPlain, 24},     // O            KEY_O
    {0x13, 0x50, kPlain, 25},     // P            KEY_P
    {0x14, 0x51, kPlain, 16},     // Q            KEY_Q
    {0x15, 0x52, kPlain, 19},     // R            KEY_R
    {0x16, 0x53, kPlain, 31},     // S            KEY_S
    {0x17, 0x54, kPlain, 20},     // T            KEY_T
    {0x18, 0x55, kPlain, 22},     // U            KEY_U
    {0x19, 0x56, kPlain, 47},     // V            KEY_V
    {0x1A, 0x57, kPlain, 17},     // W            KEY_W
    {0x1B, 0x58, kPlain, 45},     // X            KEY_X
    {0x1C, 0x59, kPlain, 21},     // Y            KEY_Y
    {0x1D, 0x5A, kPlain, 44},     // Z            KEY_Z
    {0x1E, 0x31, kPlain, 2},      // 1 !          KEY_1
    {0x1F, 0x32, kPlain, 3},      // 2 @          KEY_2
    {0x20, 0x33, kPlain, 4},      // 3 #          KEY_3
    {0x21, 0x34, kPlain, 5},      // 4 $          KEY_4
    {0x22, 0x35, kPlain, 6},      // 5 %          KEY_5
    {0x23, 0x36, kPlain, 7},      // 6 ^          KEY_6
    {0x24, 0x37, kPlain, 8},      // 7 &          KEY_7
    {0x25, 0x38, kPlain, 9},      // 8 *          KEY_8
    {0x26, 0x39, kPlain, 10},     // 9 (          KEY_9
    {0x27, 0x30, kPlain, 11},     // 0 )          KEY_0
    {0x28, 0x0D, kPlain, 28},     // Enter        VK_RETURN      KEY_ENTER
    {0x29, 0x1B, kPlain, 1},      // Escape       VK_ESCAPE      KEY_ESC
    {0x2A, 0x08, kPlain, 14},     // Backspace    VK_BACK        KEY_BACKSPACE
    {0x2B, 0x09, kPlain, 15},     // Tab          VK_TAB         KEY_TAB
    {0x2C, 0x20, kPlain, 57},     // Space        VK_SPACE       KEY_SPACE
    {0x2D, 0xBD, kPlain, 12},     // - _          VK_OEM_MINUS   KEY_MINUS
    {0x2E, 0xBB, kPlain, 13},     // = +          VK_OEM_PLUS    KEY_EQUAL
    {0x2F, 0xDB, kPlain, 26},     // [ {          VK_OEM_4       KEY_LEFTBRACE
    {0x30, 0xDD, kPlain, 27},     // ] }          VK_OEM_6       KEY_RIGHTBRACE
    {0x31, 0xDC, kPlain, 43},     // \ |          VK_OEM_5       KEY_BACKSLASH
    {0x33, 0xBA, kPlain, 39},     // ; :          VK_OEM_1       KEY_SEMICOLON
    {0x34, 0xDE, kPlain, 40},     // ' "          VK_OEM_7       KEY_APOSTROPHE
    {0x35, 0xC0, kPlain, 41},     // ` ~          VK_OEM_3       KEY_GRAVE
    {0x36, 0xBC, kPlain, 51},     // , <          VK_OEM_COMMA   KEY_COMMA
    {0x37, 0xBE, kPlain, 52},     // . >          VK_OEM_PERIOD  KEY_DOT
    {0x38, 0xBF, kPlain, 53},     // / ?          VK_OEM_2       KEY_SLASH
    {0x39, 0x14, kPlain, 58},     // Caps Lock    VK_CAPITAL     KEY_CAPSLOCK
    {0x3A, 0x70, kPlain, 59},     // F1           VK_F1          KEY_F1
    {0x3B, 0x71, kPlain, 60},     // F2
    {0x3C, 0x72, kPlain, 61},     // F3
    {0x3D, 0x73, kPlain, 62},     // F4
    {0x3E, 0x74, kPlain, 63},     // F5
    {0x3F, 0x75, kPlain, 64},     // F6
    {0x40, 0x76, kPlain, 65},     // F7
    {0x41, 0x77, kPlain, 66},     // F8
    {0x42, 0x78, kPlain, 67},     // F9
    {0x43, 0x79, kPlain, 68},     // F10          VK_F10         KEY_F10
    {0x44, 0x7A, kPlain, 87},     // F11          VK_F11         KEY_F11 (not after F10)
    {0x45, 0x7B, kPlain, 88},     // F12          VK_F12         KEY_F12
    {0x49, 0x2D, kExtended, 110},  // Insert      VK_INSERT      KEY_INSERT
    {0x4A, 0x24, kExtended, 102},  // Home        VK_HOME        KEY_HOME
    {0x4B, 0x21, kExtended, 104},  // Page Up     VK_PRIOR       KEY_PAGEUP
    {0x4C, 0x2E, kExtended, 111},  // Delete      VK_DELETE      KEY_DELETE
    {0x4D, 0x23, kExtended, 107},  // End         VK_END         KEY_END
    {0x4E, 0x22, kExtended, 109},  // Page Down   VK_NEXT        KEY_PAGEDOWN
    {0x4F, 0x27, kExtended, 106},  // Right arrow VK_RIGHT       KEY_RIGHT
    {0x50, 0x25, kExtended, 105},  // Left arrow  VK_LEFT        KEY_LEFT
    {0x51, 0x28, kExtended, 108},  // Down arrow  VK_DOWN        KEY_DOWN
    {0x52, 0x26, kExtended, 103},  // Up arrow    VK_UP          KEY_UP
});

// Report modifier bits and their keys (usages 0xE0 to 0xE3), in the order
// they are pressed and released.
struct ModifierKeyCodes {
  std::uint8_t bit;
  std::uint8_t usage;
  std::uint16_t virtual_key;
  std::uint16_t linux_key;
};

inline constexpr auto kModifierKeyCodes = std::to_array<ModifierKeyCodes>({
    {modifier_bit::left_control, 0xE0, 0xA2, 29},  // VK_LCONTROL  KEY_LEFTCTRL
    {modifier_bit::left_shift, 0xE1, 0xA0, 42},    // VK_LSHIFT    KEY_LEFTSHIFT
    {modifier_bit::left_alt, 0xE2, 0xA4, 56},      // VK_LMENU     KEY_LEFTALT
    {modifier_bit::left_gui, 0xE3, 0x5B, 125},     // VK_LWIN      KEY_LEFTMETA
});

// The row of `usage`, if the usage has a key of the first table.
const KeyCodes* key_codes_for_usage(std::uint8_t usage);

// The codes of the key that `usage` names in either table: what a sink
// plays for a KeyChange.
std::optional<KeyCodes> codes_of_key(std::uint8_t usage);

}  // namespace ondrel
