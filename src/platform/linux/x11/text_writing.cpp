#include "platform/linux/x11/text_writing.h"

#include <vector>

#include "platform/stoppable_pause.h"
#include "platform/linux/x11/keymap_requests.h"
#include "platform/linux/x11/text_plan.h"
#include "platform/linux/x11/sigpipe_guard.h"
#include "platform/linux/x11/xtest_requests.h"

namespace ondrel::linux::x11 {
namespace {

// Keystrokes are sent without a round trip each, which would lengthen every
// character by one; a round trip after every few makes sure that the server
// still takes them (a stopped server would let the socket fill up and block
// the next write without a deadline) and brings a refusal to light.
constexpr std::size_t kCharactersPerRoundTrip = 8;

// One deadline for the waits of the whole text, moved on by the time its
// pauses take: a long text may take long, a server may not.
class KeystrokeWriter {
 public:
  explicit KeystrokeWriter(XtestConnection& connection) : connection_(connection) {}

  HidResult write(std::span<const Keystroke> keystrokes) {
    for (std::size_t index = 0; index < keystrokes.size(); ++index) {
      ONDREL_TRY(send(presses_of(keystrokes[index])));
      ONDREL_TRY(pause(kWrittenKeyHoldMs));
      ONDREL_TRY(send(release_held()));
      if ((index + 1) % kCharactersPerRoundTrip == 0) ONDREL_TRY(round_trip());
      ONDREL_TRY(pause(kAfterWrittenCharacterMs));
    }
    return round_trip();
  }

  // After a failure: what is still down goes up, if the connection lives.
  void release_what_is_held() {
    if (!held_.empty() && connection_.library().connection_has_error(connection_.raw_connection()) == 0)
      (void)connection_.deliver(release_held(), patience_from_now());
  }

 private:
  // Ctrl-C ends the text between two keys.
  HidResult pause(std::uint32_t milliseconds) {
    const auto start = std::chrono::steady_clock::now();
    if (!pause_unless_stopped(milliseconds).ok()) return HidError::interrupted();
    deadline_ += std::chrono::steady_clock::now() - start;
    return HidResult::success();
  }

  HidResult send(std::vector<FakeEvent> events) {
    const XcbLibrary& xcb = connection_.library();
    for (const FakeEvent& event : events) {
      send_xtest_fake_input(xcb, connection_.raw_connection(), event);
      if (event.type == event_type::key_press) held_.push_back(event);
    }
    if (connection_.flush_before(deadline_)) return HidResult::success();
    return delivery_failure(Delivery::lost);
  }

  // Keys up in the reverse order of going down: the character's key before
  // its modifiers.
  std::vector<FakeEvent> release_held() {
    std::vector<FakeEvent> releases = releases_of_presses(held_);
    held_.clear();
    return {releases.rbegin(), releases.rend()};
  }

  HidResult round_trip() {
    const Delivery delivery = connection_.deliver({}, deadline_);
    return delivery == Delivery::delivered ? HidResult::success() : delivery_failure(delivery);
  }

  XtestConnection& connection_;
  std::vector<FakeEvent> held_;
  Deadline deadline_ = patience_from_now();
};

HidResult write_planned(XtestConnection& connection, const TextPlan& plan) {
  ONDREL_TRY(bind_spare_keycodes(connection, plan.bindings));
  KeystrokeWriter writer(connection);
  const HidResult written = writer.write(plan.keystrokes);
  if (!written) writer.release_what_is_held();
  // The last key was processed by the server (a round trip) and its target
  // was woken; it still has to read it and look it up.
  if (written && !plan.bindings.empty()) (void)pause_unless_stopped(kLookupSettleMs);
  return written;
}

}  // namespace

std::vector<FakeEvent> presses_of(const Keystroke& keystroke) {
  std::vector<FakeEvent> events;
  for (const Keycode key : {keystroke.shift, keystroke.level3, keystroke.key})
    if (key != 0) events.push_back({event_type::key_press, key});
  return events;
}

HidResult write_text(XtestConnection& connection, std::string_view text) {
  const SigpipeGuard sigpipe;
  Keymap keymap;
  ONDREL_TRY(fetch_keymap(connection, keymap));
  const TextPlanResult planned = plan_text(text, keymap);
  if (!planned) return HidError::invalid_action(planned.message());
  const TextPlan& plan = planned.plan();
  const HidResult written = write_planned(connection, plan);
  if (plan.bindings.empty()) return written;
  // Also after a failed binding: some of the changes may have been made.
  const HidResult restored = restore_keycodes(connection, keymap.keyboard, plan.bindings);
  return written ? restored : written;
}

}  // namespace ondrel::linux::x11
