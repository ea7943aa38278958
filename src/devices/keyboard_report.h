#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ondrel {

// The HID boot-keyboard input report. Key slots are neither sorted nor
// compacted: a key stays in the slot it was put into.
struct KeyboardReport {
  static constexpr std::size_t kKeySlots = 6;

  std::uint8_t modifiers = 0;  // modifier_bit values
  std::uint8_t reserved = 0;
  std::array<std::uint8_t, kKeySlots> keys{};  // Keyboard/Keypad page usages; 0: empty
};
static_assert(sizeof(KeyboardReport) == 8);

// Bits of KeyboardReport::modifiers. The right-hand modifiers (bits 4 to 7)
// are never set by this library.
namespace modifier_bit {
inline constexpr std::uint8_t left_control = 0x01;
inline constexpr std::uint8_t left_shift = 0x02;
inline constexpr std::uint8_t left_alt = 0x04;
inline constexpr std::uint8_t left_gui = 0x08;
}  // namespace modifier_bit

}  // namespace ondrel
