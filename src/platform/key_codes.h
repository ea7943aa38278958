#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "devices/keyboard_report.h"
#include "platform/physical_keys.h"

namespace ondrel {

// The keys the keyboard device presses, by usage: a view of the physical key
// table (physical_key_data.inc), which holds every code.
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

// Usages not pressed give no event: 0 to 3, 0x32 (non-US hash key), 0x46 to
// 0x48 (Print Screen, Scroll Lock, Pause) and everything from 0x53 on.
constexpr bool keyboard_presses(std::uint8_t usage) {
  return usage >= 0x04 && usage <= 0x52 && !(usage >= 0x46 && usage <= 0x48) && physical_key_of_usage(usage);
}

namespace key_codes_detail {

constexpr std::size_t pressed_key_count() {
  std::size_t count = 0;
  for (unsigned usage = 0; usage <= 0xFF; ++usage) count += keyboard_presses(static_cast<std::uint8_t>(usage)) ? 1 : 0;
  return count;
}

// In usage order.
constexpr std::array<KeyCodes, pressed_key_count()> pressed_keys() {
  std::array<KeyCodes, pressed_key_count()> rows{};
  std::size_t row = 0;
  for (unsigned usage = 0; usage <= 0xFF; ++usage) {
    if (!keyboard_presses(static_cast<std::uint8_t>(usage))) continue;
    const PhysicalKey& key = *physical_key_of_usage(static_cast<std::uint8_t>(usage));
    rows[row++] = KeyCodes{key.usage, key.virtual_key, key.extended, key.evdev};
  }
  return rows;
}

}  // namespace key_codes_detail

inline constexpr auto kKeyCodes = key_codes_detail::pressed_keys();

// Report modifier bits and their keys (usages 0xE0 to 0xE3), in the order
// they are pressed and released.
struct ModifierKeyCodes {
  std::uint8_t bit;
  std::uint8_t usage;
  std::uint16_t virtual_key;
  std::uint16_t linux_key;
};

constexpr ModifierKeyCodes modifier_key_codes(std::uint8_t bit, PhysicalKeyId id) {
  const PhysicalKey& key = physical_key(id);
  return ModifierKeyCodes{bit, key.usage, key.virtual_key, key.evdev};
}

inline constexpr auto kModifierKeyCodes = std::to_array<ModifierKeyCodes>({
    modifier_key_codes(modifier_bit::left_control, PhysicalKeyId::control_left),
    modifier_key_codes(modifier_bit::left_shift, PhysicalKeyId::shift_left),
    modifier_key_codes(modifier_bit::left_alt, PhysicalKeyId::alt_left),
    modifier_key_codes(modifier_bit::left_gui, PhysicalKeyId::meta_left),
});

// The row of `usage`, if the usage has a key of the first table.
const KeyCodes* key_codes_for_usage(std::uint8_t usage);

// The codes of the key that `usage` names in either table: what a sink
// plays for a KeyChange.
std::optional<KeyCodes> codes_of_key(std::uint8_t usage);

}  // namespace ondrel
