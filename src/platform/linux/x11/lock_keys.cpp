#include "platform/linux/x11/lock_keys.h"

#include <algorithm>

#include "platform/linux/x11/keymap_requests.h"

namespace ondrel::linux::x11 {
namespace {

constexpr std::size_t kShiftRow = 0;
constexpr std::size_t kModifierRows = 8;

std::span<const Keycode> modifier_row(const ModifierMapping& modifiers, std::size_t row) {
  const std::size_t width = modifiers.keycodes_per_modifier;
  if (modifiers.keycodes.size() < (row + 1) * width) return {};
  return std::span(modifiers.keycodes).subspan(row * width, width);
}

Keysym first_keysym(const KeyboardMapping& keyboard, Keycode keycode) {
  if (keycode < keyboard.first_keycode ||
      static_cast<std::size_t>(keycode - keyboard.first_keycode) >= keyboard.keycode_count())
    return kNoSymbol;
  const std::span<const Keysym> row = keyboard.row(keycode);
  return row.empty() ? kNoSymbol : row[0];
}

// Whether a key of the Shift modifier is down: then Shift is held, not locked.
Expected<bool> shift_key_down(XtestConnection& connection, const Keymap& keymap) {
  const XcbCookie cookie = connection.library().query_keymap(connection.raw_connection());
  const Answer answer = connection.reply_to(cookie.sequence, patience_from_now());
  if (answer.delivery != Delivery::delivered) return Outcome::failure(delivery_failure(answer.delivery));
  const auto& keys = static_cast<const XcbQueryKeymapReply*>(answer.reply.get())->keys;
  return std::ranges::any_of(modifier_row(keymap.modifiers, kShiftRow), [&](Keycode keycode) {
    return keycode != 0 && (keys[keycode / 8] >> (keycode % 8) & 1) != 0;
  });
}

// The locks of Caps Lock and Shift Lock that are set now.
Expected<std::uint16_t> text_locks(XtestConnection& connection, const Keymap& keymap, std::uint32_t root) {
  const Expected<std::uint16_t> state = modifier_state(connection, root, patience_from_now());
  if (!state.ok()) return state.outcome();
  std::uint16_t locked = state.value() & (kShiftMask | kLockMask);
  if ((locked & kShiftMask) != 0) {
    const Expected<bool> held = shift_key_down(connection, keymap);
    if (!held.ok()) return held.outcome();
    if (held.value()) locked &= ~kShiftMask;
  }
  return locked;
}

}  // namespace

Expected<std::uint16_t> modifier_state(XtestConnection& connection, std::uint32_t root, Deadline deadline) {
  const Answer answer = connection.deliver_then_ask({}, connection.library().query_pointer, root, deadline);
  if (answer.delivery != Delivery::delivered) return Outcome::failure(delivery_failure(answer.delivery));
  return static_cast<const XcbQueryPointerReply*>(answer.reply.get())->mask;
}

std::uint16_t num_lock_mask(const Keymap& keymap) {
  for (std::size_t row = 0; row < kModifierRows; ++row)
    for (const Keycode keycode : modifier_row(keymap.modifiers, row))
      if (keycode != 0 && first_keysym(keymap.keyboard, keycode) == kNumLockKeysym)
        return static_cast<std::uint16_t>(1u << row);
  return 0;
}

Keycode num_lock_key(const Keymap& keymap) {
  for (std::size_t row = 0; row < kModifierRows; ++row)
    for (const Keycode keycode : modifier_row(keymap.modifiers, row))
      if (keycode != 0 && first_keysym(keymap.keyboard, keycode) == kNumLockKeysym) return keycode;
  return 0;
}

Outcome tap_keys(XtestConnection& connection, std::span<const Keycode> keys) {
  std::vector<FakeEvent> taps;
  for (const Keycode key : keys) {
    taps.push_back({event_type::key_press, key});
    taps.push_back({event_type::key_release, key});
  }
  const Delivery delivery = connection.deliver(taps, patience_from_now());
  if (delivery == Delivery::delivered) return Outcome::success();
  return Outcome::failure(delivery_failure(delivery));
}

Expected<std::vector<Keycode>> turn_text_locks_off(XtestConnection& connection, const Keymap& keymap,
                                                   std::uint32_t root) {
  const Expected<std::uint16_t> locked = text_locks(connection, keymap, root);
  if (!locked.ok()) return locked.outcome();
  std::vector<Keycode> tapped;
  if (locked.value() == 0) return tapped;
  const KeyboardMapping& keyboard = keymap.keyboard;
  for (std::size_t index = 0; index < keyboard.keycode_count(); ++index) {
    const auto keycode = static_cast<Keycode>(keyboard.first_keycode + index);
    const Keysym keysym = keyboard.row(keycode)[0];
    if (keysym != kCapsLockKeysym && keysym != kShiftLockKeysym) continue;
    const Keycode key[] = {keycode};
    ONDREL_CHECK(tap_keys(connection, key));
    const Expected<std::uint16_t> still = text_locks(connection, keymap, root);
    if (!still.ok()) return still.outcome();
    if ((still.value() & locked.value()) == locked.value()) {  // it turned nothing off: undone
      ONDREL_CHECK(tap_keys(connection, key));
      continue;
    }
    tapped.push_back(keycode);
    if ((still.value() & locked.value()) == 0) return tapped;
  }
  std::ranges::reverse(tapped);
  ONDREL_CHECK(tap_keys(connection, tapped));
  return Outcome::failure("Caps Lock or Shift Lock is on, and no key of the keyboard layout turns it off");
}

}  // namespace ondrel::linux::x11
