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
  KeystrokeWriter(XtestConnection& connection, TypingPace pace) : connection_(connection), pace_(pace) {}

  Outcome write(std::span<const Keystroke> keystrokes) {
    for (std::size_t index = 0; index < keystrokes.size(); ++index) {
      ONDREL_CHECK(send(presses_of(keystrokes[index])));
      ONDREL_CHECK(pause(pace_.held_ms));
      ONDREL_CHECK(send(release_held()));
      if ((index + 1) % kCharactersPerRoundTrip == 0) ONDREL_CHECK(round_trip());
      ONDREL_CHECK(pause(pace_.gap_ms));
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
  Outcome pause(std::uint32_t milliseconds) {
    const auto start = std::chrono::steady_clock::now();
    ONDREL_CHECK(pause_unless_stopped(milliseconds));
    deadline_ += std::chrono::steady_clock::now() - start;
    return Outcome::success();
  }

  Outcome send(std::vector<FakeEvent> events) {
    const XcbLibrary& xcb = connection_.library();
    for (const FakeEvent& event : events) {
      send_xtest_fake_input(xcb, connection_.raw_connection(), event);
      if (event.type == event_type::key_press) held_.push_back(event);
    }
    if (connection_.flush_before(deadline_)) return Outcome::success();
    return Outcome::failure(delivery_failure(Delivery::lost));
  }

  // Keys up in the reverse order of going down: the character's key before
  // its modifiers.
  std::vector<FakeEvent> release_held() {
    std::vector<FakeEvent> releases = releases_of_presses(held_);
    held_.clear();
    return {releases.rbegin(), releases.rend()};
  }

  Outcome round_trip() {
    const Delivery delivery = connection_.deliver({}, deadline_);
    return delivery == Delivery::delivered ? Outcome::success() : Outcome::failure(delivery_failure(delivery));
  }

  XtestConnection& connection_;
  const TypingPace pace_;
  std::vector<FakeEvent> held_;
  Deadline deadline_ = patience_from_now();
};

Outcome write_planned(XtestConnection& connection, const TextPlan& plan, TypingPace pace) {
  ONDREL_CHECK(bind_spare_keycodes(connection, plan.bindings));
  KeystrokeWriter writer(connection, pace);
  const Outcome written = writer.write(plan.keystrokes);
  if (!written.ok()) writer.release_what_is_held();
  // The last key was processed by the server (a round trip) and its target
  // was woken; it still has to read it and look it up.
  if (written.ok() && !plan.bindings.empty()) (void)pause_unless_stopped(kLookupSettleMs);
  return written;
}

}  // namespace

std::vector<FakeEvent> presses_of(const Keystroke& keystroke) {
  std::vector<FakeEvent> events;
  for (const Keycode key : {keystroke.shift, keystroke.level3, keystroke.key})
    if (key != 0) events.push_back({event_type::key_press, key});
  return events;
}

Outcome write_text(XtestConnection& connection, const PlannedText& text, TypingPace pace) {
  const SigpipeGuard sigpipe;
  const Outcome written = write_planned(connection, text.plan, pace);
  if (text.plan.bindings.empty()) return written;
  // Also after a failed binding: some of the changes may have been made.
  const Outcome restored = restore_keycodes(connection, text.keymap.keyboard, text.plan.bindings);
  return written.ok() ? restored : written;
}

}  // namespace ondrel::linux::x11
