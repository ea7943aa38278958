#include "platform/linux/x11/held_keys.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>

#include "devices/pause.h"
#include "platform/linux/x11/keymap_requests.h"
#include "platform/linux/x11/lock_keys.h"
#include "platform/linux/x11/text_writing.h"
#include "platform/linux/x11/writer_claim.h"

namespace ondrel::linux::x11 {
namespace {

std::string keysym_text(Keysym keysym) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(keysym));
  return text;
}

std::vector<FakeEvent> tap_of(Keycode key) {
  if (key == 0) return {};
  return {{event_type::key_press, key}, {event_type::key_release, key}};
}

// The lock toggled first, then the keystroke's modifiers and key.
std::vector<FakeEvent> presses_of(const Keystroke& keystroke, Keycode lock_toggle) {
  std::vector<FakeEvent> presses = tap_of(lock_toggle);
  const std::vector<FakeEvent> keys = x11::presses_of(keystroke);
  presses.insert(presses.end(), keys.begin(), keys.end());
  return presses;
}

// Keys up in the reverse order of going down: the key before its modifiers,
// then the lock toggled back.
std::vector<FakeEvent> releases_of(const Keystroke& keystroke, Keycode lock_toggle) {
  std::vector<FakeEvent> releases = releases_of_presses(x11::presses_of(keystroke));
  std::ranges::reverse(releases);
  const std::vector<FakeEvent> tap = tap_of(lock_toggle);
  releases.insert(releases.end(), tap.begin(), tap.end());
  return releases;
}

}  // namespace

Outcome HeldKeys::key(Keysym keysym, bool down, Deadline deadline) {
  const auto held = std::ranges::find(held_, keysym, &HeldKey::keysym);
  if (!down) return held == held_.end() ? Outcome::success() : release(held, deadline);
  if (held != held_.end()) return kept_.deliver(x11::presses_of(held->keystroke), deadline);
  return press(keysym, deadline);
}

Outcome HeldKeys::press(Keysym keysym, Deadline deadline) {
  Expected<PlannedKey> planned = plan_on_server(keysym, deadline);
  if (!planned.ok()) return planned.outcome();
  if (!planned.value().plan.binding) {
    const KeyPlan& plan = planned.value().plan;
    ONDREL_CHECK(kept_.deliver(presses_of(plan.keystroke, plan.lock_toggle), deadline));
    held_.push_back({keysym, plan.keystroke, {}, {}, plan.lock_toggle});
    return Outcome::success();
  }
  return press_on_spare_keycode(keysym);
}

// The keycode is chosen and bound under the writers' claim (writer_claim.h),
// on the keymap of that moment, so that no writer binds it too; the claim is
// given back once the binding is made.
Outcome HeldKeys::press_on_spare_keycode(Keysym keysym) {
  Expected<WriterClaim> claim = WriterClaim::take(kept_.connection(), kept_.root(), kept_.claim_window(),
                                                  std::chrono::steady_clock::now() + kWriterPatience);
  if (!claim.ok()) return kept_.drop({}, claim.error());
  WriterClaim bound_under = claim.take();
  Expected<PlannedKey> planned = plan_on_server(keysym, patience_from_now());
  if (!planned.ok()) return planned.outcome();
  PlannedKey key = planned.take();
  HeldKey held{keysym, key.plan.keystroke, key.plan.binding, {}};
  if (held.binding) {
    held.original = std::move(key.keymap.keyboard);
    ONDREL_CHECK(kept_.mapping_result(bind_spare_keycodes(kept_.connection(), {&*held.binding, 1})));
    pause_ms(kBindingNoticeMs);
  }
  ONDREL_CHECK(kept_.mapping_result(bound_under.give_back()));
  held_.push_back(std::move(held));  // from now on the binding is undone when the key goes up
  const Outcome pressed = kept_.deliver(presses_of(held_.back().keystroke), patience_from_now());
  if (!pressed.ok() && kept_.connection().is_open()) (void)release(std::prev(held_.end()), patience_from_now());
  if (!pressed.ok() && !kept_.connection().is_open()) held_.pop_back();  // its server is gone or stalled: so is the binding
  return pressed;
}

// The keystroke for `keysym` on the server's keymap and lock state now.
Expected<HeldKeys::PlannedKey> HeldKeys::plan_on_server(Keysym keysym, Deadline deadline) {
  Expected<Keymap> fetched = fetch_keymap(kept_.connection(), deadline);
  if (!fetched.ok()) return kept_.drop({}, fetched.error());
  KeypadState keypad;
  if (is_keypad(keysym)) {
    const Expected<std::uint16_t> state = modifier_state(kept_.connection(), kept_.root(), deadline);
    if (!state.ok()) return kept_.drop({}, state.error());
    keypad.shift = (state.value() & kShiftMask) != 0;
    keypad.second_level = (state.value() & num_lock_mask(fetched.value())) != 0 && !keypad.shift;
  }
  Expected<KeyPlan> plan = plan_key(fetched.value(), keysym, keypad);
  if (!plan.ok()) return plan.outcome();
  return PlannedKey{fetched.take(), plan.take()};
}

// A keypad key gives its second keysym with Num Lock on and Shift off, its
// first otherwise. A keysym at the other level is reached by tapping Num Lock
// around the key, unless Shift (held or locked) keeps the second level out of
// reach: then, and on a keymap without Num Lock, it goes on a spare keycode.
Expected<HeldKeys::KeyPlan> HeldKeys::plan_key(const Keymap& keymap, Keysym keysym, KeypadState keypad) const {
  if (const std::optional<Keystroke> keystroke = find_keysym(keymap, keysym)) {
    if (!is_keypad(keysym)) return KeyPlan{*keystroke, {}};
    const std::span<const Keysym> row = keymap.keyboard.row(keystroke->key);
    if (row.size() < 2 || row[1] == kNoSymbol || row[0] == row[1]) return KeyPlan{Keystroke{keystroke->key}, {}};
    if (row[keypad.second_level ? 1 : 0] == keysym) return KeyPlan{Keystroke{keystroke->key}, {}};
    const Keycode toggle = num_lock_key(keymap);
    if (toggle != 0 && (keypad.second_level || !keypad.shift)) return KeyPlan{Keystroke{keystroke->key}, {}, toggle};
  }
  const KeyLocator locator(keymap);
  for (const Keycode spare : locator.spare_keycodes()) {
    const bool taken = std::ranges::any_of(held_, [&](const HeldKey& key) {
      return key.binding && key.binding->keycode == spare;
    });
    if (!taken) return KeyPlan{Keystroke{spare, 0, 0}, SpareBinding{spare, keysym}};
  }
  return Outcome::failure("no key of the keyboard layout in use gives keysym " + keysym_text(keysym) +
                          ", and no spare keycode is left to bind it to");
}

// Lets go of a held key; a bound keycode gets its mapping back, even when
// the release failed (the key is then as good as up).
Outcome HeldKeys::release(std::vector<HeldKey>::iterator held, Deadline deadline) {
  Outcome released = kept_.deliver(releases_of(held->keystroke, held->lock_toggle), deadline);
  if (!held->binding) {
    if (released.ok()) held_.erase(held);
    return released;
  }
  const HeldKey key = std::move(*held);
  held_.erase(held);
  if (!kept_.connection().is_open()) return released;  // the binding went with the connection's server, or stays
  if (released.ok()) pause_ms(kLookupSettleMs);
  const Outcome restored =
      kept_.mapping_result(restore_keycodes(kept_.connection(), key.original, {&*key.binding, 1}));
  return released.ok() ? restored : released;
}

}  // namespace ondrel::linux::x11
