#pragma once

#include <cstdint>
#include <optional>

namespace ondrel::linux::x11 {

using Keysym = std::uint32_t;

inline constexpr Keysym kNoSymbol = 0;
inline constexpr Keysym kReturnKeysym = 0xff0d;
inline constexpr Keysym kTabKeysym = 0xff09;
inline constexpr Keysym kShiftLKeysym = 0xffe1;
inline constexpr Keysym kShiftRKeysym = 0xffe2;
inline constexpr Keysym kIsoLevel3ShiftKeysym = 0xfe03;
inline constexpr Keysym kCapsLockKeysym = 0xffe5;
inline constexpr Keysym kShiftLockKeysym = 0xffe6;
inline constexpr Keysym kNumLockKeysym = 0xff7f;

// KP_Space to KP_Equal and KP_0 to KP_9: the keysyms whose level Num Lock chooses.
inline bool is_keypad(Keysym keysym) { return keysym >= 0xff80 && keysym <= 0xffbd; }

// The character that a key with `keysym` types: Latin-1 keysyms are their
// own code points, Unicode keysyms are 0x01000000 + the code point, and the
// legacy keysyms that layouts still use (EuroSign, the Cyrillic_ and Greek_
// ranges, ...) map through X's table; Return and Tab are '\n' and '\t'.
// nullopt for keysyms that type no character (Shift_L, dead keys, keypad).
std::optional<char32_t> character_of_keysym(Keysym keysym);

// The keysym to bind to a spare keycode for `character`, which the server
// knows without any table: Latin-1 directly, any other as a Unicode keysym.
Keysym keysym_for_character(char32_t character);

}  // namespace ondrel::linux::x11
