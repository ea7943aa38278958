#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/x11/keymap.h"
#include "platform/linux/x11/xtest_connection.h"

// Caps Lock and Shift Lock change what a key types (a character on a spare
// keycode too: Xlib turns it to upper case), Num Lock which of a keypad
// key's two keysyms it gives. Text is written with the first two off, and
// the keypad is pressed at the level that Num Lock's state gives.

namespace ondrel::linux::x11 {

inline constexpr std::uint16_t kShiftMask = 1u << 0;
inline constexpr std::uint16_t kLockMask = 1u << 1;

// The modifier state of the display's core keyboard (QueryPointer's mask on
// `root`), locks included.
Expected<std::uint16_t> modifier_state(XtestConnection& connection, std::uint32_t root, Deadline deadline);

// The modifier bit that Num Lock sets on `keymap`; 0 when no key does.
std::uint16_t num_lock_mask(const Keymap& keymap);
// The key that sets it; 0 when none does.
Keycode num_lock_key(const Keymap& keymap);

// Turns Caps Lock and Shift Lock off, if on, by tapping the keys of the
// keymap that give Caps_Lock or Shift_Lock until neither lock is set; the
// keys tapped, to tap again afterwards. A Shift that a key holds down is no
// lock and stays. Fails (after tapping back) when no key turns a lock off.
Expected<std::vector<Keycode>> turn_text_locks_off(XtestConnection& connection, const Keymap& keymap,
                                                   std::uint32_t root);

// Presses and releases each key in turn, then a round trip.
Outcome tap_keys(XtestConnection& connection, std::span<const Keycode> keys);

}  // namespace ondrel::linux::x11
