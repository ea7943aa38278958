#include "platform/linux/x11/claimed_writing.h"

#include <algorithm>
#include <vector>

#include "platform/linux/x11/keymap_requests.h"
#include "platform/linux/x11/lock_keys.h"
#include "platform/linux/x11/text_plan.h"
#include "platform/linux/x11/text_writing.h"
#include "platform/linux/x11/writer_claim.h"

namespace ondrel::linux::x11 {
namespace {

std::vector<Keycode> bound_keycodes(const TextPlan& plan) {
  std::vector<Keycode> bound;
  for (const SpareBinding& binding : plan.bindings) bound.push_back(binding.keycode);
  return bound;
}

// Every keycode that the plan presses, once.
std::vector<Keycode> pressed_keycodes(const TextPlan& plan) {
  std::vector<Keycode> pressed;
  for (const Keystroke& keystroke : plan.keystrokes)
    for (const Keycode key : {keystroke.shift, keystroke.level3, keystroke.key})
      if (key != 0 && std::ranges::find(pressed, key) == pressed.end()) pressed.push_back(key);
  return pressed;
}

struct Written {
  Outcome outcome;
  bool connection_spent;  // something was sent and went wrong
};

// The claim is given back (or, after a failure, queued to be given back
// behind what was sent) when this returns.
Written write_claimed(KeptConnection& kept, WriterClaim claim, std::string_view text, TypingPace pace) {
  XtestConnection& connection = kept.connection();
  Expected<Keymap> keymap = fetch_keymap(connection, patience_from_now());
  if (!keymap.ok()) return {kept.drop({}, keymap.error()), true};
  Expected<TextPlan> plan = plan_text(text, keymap.value());
  if (!plan.ok()) {
    const Outcome given_back = claim.give_back();
    return given_back.ok() ? Written{plan.outcome(), false} : Written{given_back, true};
  }
  const Expected<std::vector<Keycode>> locks = turn_text_locks_off(connection, keymap.value(), kept.root());
  if (!locks.ok()) return {locks.outcome(), kept.has_failed()};
  std::vector<Keycode> pressed = pressed_keycodes(plan.value());
  pressed.insert(pressed.end(), locks.value().begin(), locks.value().end());
  claim.record(bound_keycodes(plan.value()), pressed);
  const TextWritten text_written = write_text(connection, PlannedText{keymap.take(), plan.take()}, pace);
  Outcome written = text_written.outcome;
  // Keys whose release may not have reached the server: released first
  // thing on the next connection.
  if (!text_written.unreleased.empty()) return {kept.drop(text_written.unreleased, written.error()), true};
  // The locks go back on whenever the server still takes input.
  if (!locks.value().empty() && !kept.has_failed()) {
    const Outcome relocked = tap_keys(connection, locks.value());
    if (written.ok()) written = relocked;
  }
  if (!written.ok()) return {written, true};
  const Outcome given_back = claim.give_back();
  return {given_back, !given_back.ok()};
}

}  // namespace

Outcome write_under_claim(KeptConnection& kept, std::string_view text, TypingPace pace) {
  Expected<WriterClaim> claim = WriterClaim::take(kept.connection(), kept.root(), kept.claim_window(),
                                                  std::chrono::steady_clock::now() + kWriterPatience);
  if (!claim.ok()) return kept.drop({}, claim.error());  // the grab may wait on it still
  const Written written = write_claimed(kept, claim.take(), text, pace);
  if (written.connection_spent) kept.retire();
  return written.outcome;
}

}  // namespace ondrel::linux::x11
