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
      ONDREL_CHECK(send_presses(presses_of(keystrokes[index])));
      ONDREL_CHECK(pause(pace_.held_ms));
      ONDREL_CHECK(send_releases());
      if ((index + 1) % kCharactersPerRoundTrip == 0) ONDREL_CHECK(round_trip());
      ONDREL_CHECK(pause(pace_.gap_ms));
    }
    return round_trip();
  }

  // After a failure: what is still down goes up. After a stop, the server
  // takes the releases as any input; after a failed delivery, they are sent
  // again at once if the socket has room, and what remains unsure is handed
  // back, for the connection's owner to release later.
  std::vector<FakeEvent> release_what_is_held(bool delivery_failed) {
    if (held_.empty()) return {};
    const std::vector<FakeEvent> releases = releases_in_order();
    if (delivery_failed) {
      if (!connection_.send_at_once(releases)) return held_;
    } else if (connection_.deliver(releases, patience_from_now()) != Delivery::delivered) {
      return held_;
    }
    held_.clear();
    return {};
  }

  [[nodiscard]] bool delivery_failed() const { return delivery_failed_; }

 private:
  // Ctrl-C ends the text between two keys.
  Outcome pause(std::uint32_t milliseconds) {
    const auto start = std::chrono::steady_clock::now();
    ONDREL_CHECK(pause_unless_stopped(milliseconds));
    deadline_ += std::chrono::steady_clock::now() - start;
    return Outcome::success();
  }

  // A press counts as held from before it is sent: should sending fail, it
  // may have landed.
  Outcome send_presses(const std::vector<FakeEvent>& presses) {
    held_.insert(held_.end(), presses.begin(), presses.end());
    return send(presses);
  }

  // Keys stay held until their releases are on their way.
  Outcome send_releases() {
    ONDREL_CHECK(send(releases_in_order()));
    held_.clear();
    return Outcome::success();
  }

  Outcome send(const std::vector<FakeEvent>& events) {
    const XcbLibrary& xcb = connection_.library();
    for (const FakeEvent& event : events) send_xtest_fake_input(xcb, connection_.raw_connection(), event);
    if (connection_.flush_before(deadline_)) return Outcome::success();
    return failed(Delivery::lost);
  }

  // Keys up in the reverse order of going down: the character's key before
  // its modifiers.
  std::vector<FakeEvent> releases_in_order() const {
    std::vector<FakeEvent> releases = releases_of_presses(held_);
    return {releases.rbegin(), releases.rend()};
  }

  Outcome round_trip() {
    const Delivery delivery = connection_.deliver({}, deadline_);
    return delivery == Delivery::delivered ? Outcome::success() : failed(delivery);
  }

  Outcome failed(Delivery delivery) {
    delivery_failed_ = true;
    return Outcome::failure(delivery_failure(delivery));
  }

  XtestConnection& connection_;
  const TypingPace pace_;
  std::vector<FakeEvent> held_;  // pressed, and not yet released for sure
  Deadline deadline_ = patience_from_now();
  bool delivery_failed_ = false;
};

TextWritten write_planned(XtestConnection& connection, const TextPlan& plan, TypingPace pace) {
  const Outcome bound = bind_spare_keycodes(connection, plan.bindings);
  if (!bound.ok()) return {bound, {}};
  if (!plan.bindings.empty()) {
    const Outcome noticed = pause_unless_stopped(kBindingNoticeMs);
    if (!noticed.ok()) return {noticed, {}};
  }
  KeystrokeWriter writer(connection, pace);
  const Outcome written = writer.write(plan.keystrokes);
  if (!written.ok()) return {written, writer.release_what_is_held(writer.delivery_failed())};
  // The last key was processed by the server (a round trip) and its target
  // was woken; it still has to read it and look it up.
  if (!plan.bindings.empty()) (void)pause_unless_stopped(kLookupSettleMs);
  return {written, {}};
}

}  // namespace

std::vector<FakeEvent> presses_of(const Keystroke& keystroke) {
  std::vector<FakeEvent> events;
  for (const Keycode key : {keystroke.shift, keystroke.level3, keystroke.key})
    if (key != 0) events.push_back({event_type::key_press, key});
  return events;
}

TextWritten write_text(XtestConnection& connection, const PlannedText& text, TypingPace pace) {
  const SigpipeGuard sigpipe;
  TextWritten written = write_planned(connection, text.plan, pace);
  if (text.plan.bindings.empty()) return written;
  // Also after a failed binding: some of the changes may have been made.
  const Outcome restored = restore_keycodes(connection, text.keymap.keyboard, text.plan.bindings);
  if (written.outcome.ok()) written.outcome = restored;
  return written;
}

}  // namespace ondrel::linux::x11
