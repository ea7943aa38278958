#include "platform/windows/keyboard_backend.h"

#include <algorithm>
#include <cstring>

#include "platform/key_codes.h"

namespace ondrel {
namespace {

bool contains(const KeyboardReport& report, std::uint8_t usage) {
  return std::find(report.keys.begin(), report.keys.end(), usage) != report.keys.end();
}

}  // namespace

HidResult WindowsKeyboardBackend::inject(std::uint16_t virtual_key, std::uint32_t flags) {
  return win32::inject(*sink_, win32::keyboard_input(virtual_key, flags));
}

HidResult WindowsKeyboardBackend::inject_key(const KeyCodes& key, bool down) {
  const std::uint32_t extended = key.extended ? win32::key_flag::extended_key : 0;
  return inject(key.virtual_key, extended | (down ? 0 : win32::key_flag::key_up));
}

bool WindowsKeyboardBackend::holds_key(std::uint8_t usage) const { return usage != 0 && contains(held_, usage); }

// In the slot order of the report that put the keys down. `held_` changes
// only after each event went in, so a failure leaves it true.
HidResult WindowsKeyboardBackend::release_keys(const KeyboardReport& next) {
  for (std::uint8_t& slot : held_.keys) {
    const std::uint8_t usage = slot;
    if (usage == 0 || contains(next, usage)) continue;
    // Only keys with a virtual key are ever held.
    ONDREL_TRY(inject_key(*key_codes_for_usage(usage), false));
    slot = 0;
  }
  return HidResult::success();
}

// Releases before presses, each in the order Control, Shift, Alt, GUI.
HidResult WindowsKeyboardBackend::change_modifiers(std::uint8_t modifiers) {
  for (const bool down : {false, true}) {
    for (const ModifierKeyCodes& modifier : kModifierKeyCodes) {
      const bool is_down = (modifiers & modifier.bit) != 0;
      const bool was_down = (held_.modifiers & modifier.bit) != 0;
      if (is_down != down || was_down == down) continue;
      ONDREL_TRY(inject(modifier.virtual_key, down ? 0 : win32::key_flag::key_up));
      held_.modifiers ^= modifier.bit;
    }
  }
  return HidResult::success();
}

// Every key still held is in `next` (they were released otherwise), so the
// held keys move into the slots `next` has them in, and the new ones go down
// in slot order; a usage in two slots is one key.
HidResult WindowsKeyboardBackend::press_keys(const KeyboardReport& next) {
  KeyboardReport moved{};
  for (std::size_t slot = 0; slot < next.keys.size(); ++slot) {
    const std::uint8_t usage = next.keys[slot];
    if (holds_key(usage) && !contains(moved, usage)) moved.keys[slot] = usage;
  }
  held_.keys = moved.keys;
  for (std::size_t slot = 0; slot < next.keys.size(); ++slot) {
    const std::uint8_t usage = next.keys[slot];
    const KeyCodes* key = key_codes_for_usage(usage);
    if (key == nullptr || holds_key(usage)) continue;
    ONDREL_TRY(inject_key(*key, true));
    held_.keys[slot] = usage;
  }
  return HidResult::success();
}

HidResult WindowsKeyboardBackend::send_report(std::span<const std::uint8_t> report) {
  if (report.size() < sizeof(KeyboardReport)) return HidError::send_failed("Invalid keyboard report");
  KeyboardReport next;
  std::memcpy(&next, report.data(), sizeof next);
  // Byte 1 is reserved; the right-hand modifier bits are never pressed.
  ONDREL_TRY(release_keys(next));
  ONDREL_TRY(change_modifiers(next.modifiers));
  return press_keys(next);
}

}  // namespace ondrel
