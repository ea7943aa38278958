#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/linux/x11/keysym_characters.h"

namespace ondrel::linux::x11 {

using Keycode = std::uint8_t;

// The core keyboard mapping, as GetKeyboardMapping gives it for every
// keycode from first_keycode on: keysyms_per_keycode keysyms per keycode.
// An XKB server lays each keycode's row out as group 1 level 1, G1L2, G2L1,
// G2L2, G1L3, G1L4, G2L3, G2L4, ...; with one group, group 2 repeats it.
struct KeyboardMapping {
  Keycode first_keycode = 0;
  std::uint8_t keysyms_per_keycode = 0;
  std::vector<Keysym> keysyms;

  [[nodiscard]] std::size_t keycode_count() const {
    return keysyms_per_keycode == 0 ? 0 : keysyms.size() / keysyms_per_keycode;
  }
  // Only for keycodes from first_keycode to first_keycode + keycode_count() - 1.
  [[nodiscard]] std::span<const Keysym> row(Keycode keycode) const {
    return std::span(keysyms).subspan(static_cast<std::size_t>(keycode - first_keycode) * keysyms_per_keycode,
                                      keysyms_per_keycode);
  }
  bool operator==(const KeyboardMapping&) const = default;
};

// The core modifier mapping, as GetModifierMapping gives it: eight rows
// (Shift, Lock, Control, Mod1 to Mod5) of keycodes_per_modifier keycodes,
// 0 where a row has fewer.
struct ModifierMapping {
  std::uint8_t keycodes_per_modifier = 0;
  std::vector<Keycode> keycodes;
};

struct Keymap {
  KeyboardMapping keyboard;
  ModifierMapping modifiers;
};

// A key and the modifier keys held while it is pressed; 0 (never a
// keycode) for a modifier that is not held.
struct Keystroke {
  Keycode key = 0;
  Keycode shift = 0;
  Keycode level3 = 0;
  bool operator==(const Keystroke&) const = default;
};

// Where the keymap has each character it can type on group 1, the group in
// use unless the user switched groups: each character at its lowest level
// (plain, Shift, AltGr, Shift+AltGr), on its lowest keycode there.
class KeyLocator {
 public:
  explicit KeyLocator(const Keymap& keymap);

  [[nodiscard]] std::optional<Keystroke> find(char32_t character) const;
  // The keycodes without any keysym and outside the modifier mapping,
  // highest first: free to bind for a while.
  [[nodiscard]] const std::vector<Keycode>& spare_keycodes() const { return spare_; }

 private:
  struct Entry {
    char32_t character;
    Keystroke keystroke;
  };
  std::vector<Entry> entries_;  // sorted by character
  std::vector<Keycode> spare_;
};

// Where group 1 of `keymap` has `keysym`, chosen as KeyLocator chooses for
// a character; nullopt when no key gives it.
std::optional<Keystroke> find_keysym(const Keymap& keymap, Keysym keysym);

}  // namespace ondrel::linux::x11
