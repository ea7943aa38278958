#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "devices/keyboard_report.h"

namespace ondrel {

struct ModifierName {
  std::string_view name;  // lower case, as matched after folding
  std::uint8_t bit;       // a modifier_bit value
};

inline constexpr auto kModifierNames = std::to_array<ModifierName>({
    {"ctrl", modifier_bit::left_control}, {"control", modifier_bit::left_control},
    {"shift", modifier_bit::left_shift},
    {"alt", modifier_bit::left_alt},      {"option", modifier_bit::left_alt},
    {"meta", modifier_bit::left_gui},     {"cmd", modifier_bit::left_gui},
    {"command", modifier_bit::left_gui},  {"gui", modifier_bit::left_gui},
    {"win", modifier_bit::left_gui},
});
static_assert(kModifierNames.size() == 10);

// The bit of one modifier name (matched whole after full lower-casing), or 0
// for a name the table lacks: unknown modifiers are ignored, not refused.
std::uint8_t modifier_bit_named(std::string_view name);

// The OR of the bits of all `names`; 0 for none.
std::uint8_t modifier_bits(std::span<const std::string> names);

}  // namespace ondrel
