#include "platform/physical_keys.h"

namespace ondrel {
namespace {

// Each column that names a key names it once. Windows tells keys that share a
// virtual key or a scan code apart by E0 (Enter and keypad Enter, Pause and
// Num Lock, left and right Control); 0 is "no usage", shared by the keys of
// other HID pages.
constexpr bool codes_are_unique() {
  for (std::size_t first = 0; first < kPhysicalKeys.size(); ++first) {
    const PhysicalKey& a = kPhysicalKeys[first];
    for (std::size_t second = first + 1; second < kPhysicalKeys.size(); ++second) {
      const PhysicalKey& b = kPhysicalKeys[second];
      if (a.usage != 0 && a.usage == b.usage) return false;
      if (a.keysym == b.keysym || a.evdev == b.evdev) return false;
      if (a.extended == b.extended && (a.virtual_key == b.virtual_key || a.scan_code == b.scan_code)) return false;
    }
  }
  return true;
}
static_assert(codes_are_unique(), "a usage, keysym, virtual key, scan code or evdev code named twice");

constexpr bool codes_are_present() {
  for (const PhysicalKey& key : kPhysicalKeys) {
    if (key.keysym == 0 || key.virtual_key == 0 || key.virtual_key > 0xFF || key.scan_code == 0 ||
        key.scan_code > 0x7F || key.evdev == 0)
      return false;
  }
  return true;
}
static_assert(codes_are_present(), "every key has a keysym, a virtual key (1..255), a scan code (1..127), an evdev code");

static_assert(kPhysicalKeys.size() == 124, "104 keys of a full-size keyboard, the ISO key, F13 to F24, 7 media keys");

}  // namespace
}  // namespace ondrel
