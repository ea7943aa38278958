#include "platform/keyboard_transitions.h"

#include <algorithm>
#include <cstring>

#include "platform/key_codes.h"

namespace ondrel {
namespace {

bool contains(const KeyboardReport& report, std::uint8_t usage) {
  return std::find(report.keys.begin(), report.keys.end(), usage) != report.keys.end();
}

}  // namespace

HidResult KeyboardTransitions::inject(std::uint8_t usage, bool down) { return sink_->apply(KeyChange{usage, down}); }

bool KeyboardTransitions::holds_key(std::uint8_t usage) const { return usage != 0 && contains(held_, usage); }

// In the slot order of the report that put the keys down. `held_` changes
// only after each event went in, so a failure leaves it true.
HidResult KeyboardTransitions::release_keys(const KeyboardReport& next) {
  for (std::uint8_t& slot : held_.keys) {
    const std::uint8_t usage = slot;
    if (usage == 0 || contains(next, usage)) continue;
    ONDREL_TRY(inject(usage, false));
    slot = 0;
  }
  return HidResult::success();
}

// Releases before presses, each in the order Control, Shift, Alt, GUI.
HidResult KeyboardTransitions::change_modifiers(std::uint8_t modifiers) {
  for (const bool down : {false, true}) {
    for (const ModifierKeyCodes& modifier : kModifierKeyCodes) {
      const bool is_down = (modifiers & modifier.bit) != 0;
      const bool was_down = (held_.modifiers & modifier.bit) != 0;
      if (is_down != down || was_down == down) continue;
      ONDREL_TRY(inject(modifier.usage, down));
      held_.modifiers ^= modifier.bit;
    }
  }
  return HidResult::success();
}

// Every key still held is in `next` (they were released otherwise), so the
// held keys move into the slots `next` has them in, and the new ones go down
// in slot order; a usage in two slots is one key.
HidResult KeyboardTransitions::press_keys(const KeyboardReport& next) {
  KeyboardReport moved{};
  for (std::size_t slot = 0; slot < next.keys.size(); ++slot) {
    const std::uint8_t usage = next.keys[slot];
    if (holds_key(usage) && !contains(moved, usage)) moved.keys[slot] = usage;
  }
  held_.keys = moved.keys;
  for (std::size_t slot = 0; slot < next.keys.size(); ++slot) {
    const std::uint8_t usage = next.keys[slot];
    if (key_codes_for_usage(usage) == nullptr || holds_key(usage)) continue;
    ONDREL_TRY(inject(usage, true));
    held_.keys[slot] = usage;
  }
  return HidResult::success();
}

HidResult KeyboardTransitions::send_report(std::span<const std::uint8_t> report) {
  if (report.size() < sizeof(KeyboardReport)) return HidError::send_failed("Invalid keyboard report");
  KeyboardReport next;
  std::memcpy(&next, report.data(), sizeof next);
  // Byte 1 is reserved; the right-hand modifier bits are never pressed.
  ONDREL_TRY(release_keys(next));
  ONDREL_TRY(change_modifiers(next.modifiers));
  return press_keys(next);
}

}  // namespace ondrel
