#include "platform/linux/x11/keymap.h"

#include <algorithm>
#include <array>

namespace ondrel::linux::x11 {
namespace {

constexpr std::size_t kShiftRow = 0;
constexpr std::size_t kModifierRows = 8;

struct Level {
  std::size_t column;  // in a keycode's row of the keyboard mapping
  bool shift;
  bool level3;
};

// Group 1's four levels, cheapest first; columns 2 and 3 belong to group 2.
constexpr std::array<Level, 4> kGroup1Levels = {{
    {0, false, false},
    {1, true, false},
    {4, false, true},
    {5, true, true},
}};

std::span<const Keycode> modifier_row(const ModifierMapping& modifiers, std::size_t row) {
  const std::size_t width = modifiers.keycodes_per_modifier;
  if (modifiers.keycodes.size() < (row + 1) * width) return {};
  return std::span(modifiers.keycodes).subspan(row * width, width);
}

Keycode first_shift_key(const ModifierMapping& modifiers) {
  for (const Keycode keycode : modifier_row(modifiers, kShiftRow))
    if (keycode != 0) return keycode;
  return 0;
}

bool is_mapped(const KeyboardMapping& keyboard, Keycode keycode) {
  return keycode >= keyboard.first_keycode &&
         static_cast<std::size_t>(keycode - keyboard.first_keycode) < keyboard.keycode_count();
}

// AltGr: the key of ISO_Level3_Shift that sets a modifier; a key with the
// keysym but outside the modifier mapping would shift nothing for clients
// of the core protocol.
Keycode first_level3_key(const Keymap& keymap) {
  for (std::size_t row = 0; row < kModifierRows; ++row) {
    for (const Keycode keycode : modifier_row(keymap.modifiers, row)) {
      if (keycode == 0 || !is_mapped(keymap.keyboard, keycode)) continue;
      const std::span<const Keysym> keysyms = keymap.keyboard.row(keycode);
      if (!keysyms.empty() && keysyms[0] == kIsoLevel3ShiftKeysym) return keycode;
    }
  }
  return 0;
}

bool is_modifier(const ModifierMapping& modifiers, Keycode keycode) {
  return std::ranges::find(modifiers.keycodes, keycode) != modifiers.keycodes.end();
}

}  // namespace

KeyLocator::KeyLocator(const Keymap& keymap) {
  const KeyboardMapping& keyboard = keymap.keyboard;
  const Keycode shift = first_shift_key(keymap.modifiers);
  const Keycode level3 = first_level3_key(keymap);
  const std::size_t count = keyboard.keycode_count();
  for (const Level& level : kGroup1Levels) {
    if (level.column >= keyboard.keysyms_per_keycode || (level.shift && shift == 0) ||
        (level.level3 && level3 == 0))
      continue;
    for (std::size_t index = 0; index < count; ++index) {
      const auto keycode = static_cast<Keycode>(keyboard.first_keycode + index);
      const auto character = character_of_keysym(keyboard.row(keycode)[level.column]);
      if (!character) continue;
      entries_.push_back({*character, {keycode, level.shift ? shift : Keycode{0}, level.level3 ? level3 : Keycode{0}}});
    }
  }
  // The first entry of each character is its cheapest: keep that one.
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.character < b.character; });
  entries_.erase(std::unique(entries_.begin(), entries_.end(),
                             [](const Entry& a, const Entry& b) { return a.character == b.character; }),
                 entries_.end());

  for (std::size_t index = count; index-- > 0;) {
    const auto keycode = static_cast<Keycode>(keyboard.first_keycode + index);
    if (std::ranges::all_of(keyboard.row(keycode), [](Keysym keysym) { return keysym == kNoSymbol; }) &&
        !is_modifier(keymap.modifiers, keycode))
      spare_.push_back(keycode);
  }
}

std::optional<Keystroke> find_keysym(const Keymap& keymap, Keysym keysym) {
  const KeyboardMapping& keyboard = keymap.keyboard;
  const Keycode shift = first_shift_key(keymap.modifiers);
  const Keycode level3 = first_level3_key(keymap);
  for (const Level& level : kGroup1Levels) {
    if (level.column >= keyboard.keysyms_per_keycode || (level.shift && shift == 0) ||
        (level.level3 && level3 == 0))
      continue;
    for (std::size_t index = 0; index < keyboard.keycode_count(); ++index) {
      const auto keycode = static_cast<Keycode>(keyboard.first_keycode + index);
      if (keyboard.row(keycode)[level.column] == keysym)
        return Keystroke{keycode, level.shift ? shift : Keycode{0}, level.level3 ? level3 : Keycode{0}};
    }
  }
  return std::nullopt;
}

std::optional<Keystroke> KeyLocator::find(char32_t character) const {
  const auto entry = std::ranges::lower_bound(entries_, character, {}, &Entry::character);
  if (entry == entries_.end() || entry->character != character) return std::nullopt;
  return entry->keystroke;
}

}  // namespace ondrel::linux::x11
