#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ondrel {

inline constexpr bool kExtended = true;
inline constexpr bool kPlain = false;

// One physical key and its code on each system (physical_key_data.inc says
// what each column is).
struct PhysicalKey {
  std::uint8_t usage;  // 0: none on the Keyboard/Keypad page
  std::uint32_t keysym;
  std::uint16_t virtual_key;
  std::uint16_t scan_code;
  bool extended;
  std::uint16_t evdev;
};

enum class PhysicalKeyId : std::uint8_t {
#define PHYSICAL_KEY(id, usage, keysym, virtual_key, scan_code, extended, evdev) id,
#include "platform/physical_key_data.inc"
#undef PHYSICAL_KEY
};

inline constexpr auto kPhysicalKeys = std::to_array<PhysicalKey>({
#define PHYSICAL_KEY(id, usage, keysym, virtual_key, scan_code, extended, evdev) \
  {usage, keysym, virtual_key, scan_code, extended, evdev},
#include "platform/physical_key_data.inc"
#undef PHYSICAL_KEY
});

constexpr const PhysicalKey& physical_key(PhysicalKeyId id) { return kPhysicalKeys[static_cast<std::size_t>(id)]; }

// The key of Keyboard/Keypad page usage `usage`, or nullptr.
constexpr const PhysicalKey* physical_key_of_usage(std::uint8_t usage) {
  if (usage == 0) return nullptr;
  for (const PhysicalKey& key : kPhysicalKeys)
    if (key.usage == usage) return &key;
  return nullptr;
}

}  // namespace ondrel
