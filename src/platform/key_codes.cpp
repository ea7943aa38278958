#include "platform/key_codes.h"

#include <cstddef>

namespace ondrel {
namespace {

constexpr std::size_t kCodeCount = 256;

constexpr bool usages_ascend() {
  int previous = -1;
  for (const KeyCodes& row : kKeyCodes) {
    if (row.usage <= previous) return false;
    previous = row.usage;
  }
  return true;
}
static_assert(usages_ascend(), "one row per usage, in order");

constexpr bool virtual_keys_fit() {
  for (const KeyCodes& row : kKeyCodes) {
    if (row.virtual_key == 0 || row.virtual_key >= kCodeCount) return false;
  }
  for (const ModifierKeyCodes& row : kModifierKeyCodes) {
    if (row.virtual_key == 0 || row.virtual_key >= kCodeCount) return false;
  }
  return true;
}
static_assert(virtual_keys_fit(), "virtual keys are 1..255");

// Row index + 1 by usage; 0 marks a usage without a key.
constexpr std::array<std::uint8_t, kCodeCount> index_by_usage() {
  std::array<std::uint8_t, kCodeCount> index{};
  for (std::size_t row = 0; row < kKeyCodes.size(); ++row) index[kKeyCodes[row].usage] = static_cast<std::uint8_t>(row + 1);
  return index;
}

constexpr auto kRowByUsage = index_by_usage();

}  // namespace

const KeyCodes* key_codes_for_usage(std::uint8_t usage) {
  const std::uint8_t row = kRowByUsage[usage];
  return row == 0 ? nullptr : &kKeyCodes[row - 1u];
}

std::optional<KeyCodes> codes_of_key(std::uint8_t usage) {
  if (const KeyCodes* key = key_codes_for_usage(usage)) return *key;
  // The modifiers' records carry no E0, the left GUI key's included: a
  // virtual-key-only event names the modifier already.
  for (const ModifierKeyCodes& modifier : kModifierKeyCodes)
    if (modifier.usage == usage) return KeyCodes{usage, modifier.virtual_key, kPlain, modifier.linux_key};
  return std::nullopt;
}

}  // namespace ondrel
