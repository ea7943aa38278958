#include "devices/modifier_names.h"

#include "devices/name_folding.h"

namespace ondrel {

std::uint8_t modifier_bit_named(std::string_view name) {
  const auto folded = fold_table_name(name);
  if (!folded) return 0;
  for (const ModifierName& modifier : kModifierNames) {
    if (modifier.name == *folded) return modifier.bit;
  }
  return 0;
}

std::uint8_t modifier_bits(std::span<const std::string> names) {
  std::uint8_t bits = 0;
  for (const std::string& name : names) bits |= modifier_bit_named(name);
  return bits;
}

}  // namespace ondrel
