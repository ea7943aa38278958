#include <algorithm>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "devices/pause.h"
#include "platform/linux/computer_systems.h"
#include "platform/linux/x11/fake_events.h"
#include "platform/linux/x11/keymap_requests.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/lock_keys.h"
#include "platform/linux/x11/sigpipe_guard.h"
#include "platform/linux/x11/text_writing.h"
#include "platform/linux/x11/writer_claim.h"
#include "platform/linux/x11/xtest_connection.h"
#include "platform/pointer_buttons.h"

namespace ondrel::linux::x11 {
namespace {

constexpr std::uint8_t kAbsoluteMotion = 0;
// X has no wheel: its clicks are buttons 4 (up), 5 (down), 6 (left), 7 (right).
constexpr std::uint8_t kWheelUp = 4;
constexpr std::uint8_t kWheelDown = 5;
constexpr std::uint8_t kWheelLeft = 6;
constexpr std::uint8_t kWheelRight = 7;
// A press and a release per notch: 64 notches between two round trips.
constexpr std::size_t kWheelEventsPerRoundTrip = 128;

using Reply = std::unique_ptr<void, FreeReply>;

std::string point_text(Point point) {
  return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

std::string keysym_text(Keysym keysym) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(keysym));
  return text;
}

bool fits_coordinates(Point point) {
  constexpr std::int32_t largest = std::numeric_limits<std::int16_t>::max();
  return point.x >= 0 && point.y >= 0 && point.x <= largest && point.y <= largest;
}

// The root window of screen `number` of the connection's display, or 0.
std::uint32_t root_of_screen(const XcbLibrary& xcb, XcbConnection* connection, int number) {
  XcbScreenIterator screens = xcb.setup_roots_iterator(xcb.get_setup(connection));
  for (int i = 0; i < number && screens.rem > 0; ++i) xcb.screen_next(&screens);
  return screens.rem > 0 ? screens.data->root : 0;
}

// One click of `negative` or `positive` per notch, by the sign of `notches`.
void add_notches(std::vector<FakeEvent>& events, std::uint8_t negative, std::uint8_t positive, std::int32_t notches) {
  const std::uint8_t button = notches < 0 ? negative : positive;
  for (std::int64_t i = 0; i < std::abs(std::int64_t{notches}); ++i) {
    events.push_back({event_type::button_press, button});
    events.push_back({event_type::button_release, button});
  }
}

// Keys up in the reverse order of going down: the key before its modifiers.
std::vector<FakeEvent> releases_of(const Keystroke& keystroke) {
  std::vector<FakeEvent> releases = releases_of_presses(presses_of(keystroke));
  return {releases.rbegin(), releases.rend()};
}

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

struct HeldKey {
  Keysym keysym;
  Keystroke keystroke;
  std::optional<SpareBinding> binding;  // a spare keycode bound to the keysym while the key is down
  KeyboardMapping original;             // the mapping to give back then
};

// The keystroke for `keysym`: its key on the layout in use, or else a spare
// keycode, free of `held` bindings, to bind it to.
struct KeyPlan {
  Keystroke keystroke;
  std::optional<SpareBinding> binding;
};

// The screen that DISPLAY names (its default screen, usually the only one),
// through XTEST on one connection of its own. A point is on that screen: a
// move takes the pointer there, and where the pointer is elsewhere,
// position() says so.
//
// Connections and failures are handled as the devices' X sink handles them
// (sink.cpp): each call has one deadline for all of its waits; a connection
// that broke or did not answer is put aside and the next call connects
// again; what a call of unknown fate pressed is released at once on the old
// connection, or first thing on the next one.
//
// A key is the key that gives its keysym on the layout in use, with Shift
// or AltGr when only that level gives it (looked up at each press, so a
// change of layout takes effect at once). A keysym that no key gives (F13
// to F24 on the usual evdev keymaps, which give those keys XF86 keysyms) is
// bound to a spare keycode while the key is down, as write() binds a
// character, and the keycode gets its mapping back once the key is up and
// the client had time to look the key up. Every modifier of the key table
// is on every layout, so a bound key never has to act as a modifier.
class XComputerSystem final : public ComputerSystem {
 public:
  XComputerSystem(const XcbLibrary& xcb, std::string display, int screen, XtestConnection connection,
                  std::uint32_t root)
      : xcb_(xcb), display_(std::move(display)), screen_(screen), connection_(std::move(connection)), root_(root) {
    claim_window_ = create_claim_window(connection_, root_);
  }

  // What a writer that died left on the display is put back before anything
  // else is sent.
  Outcome put_back_leftovers() {
    return WriterClaim::put_back_leftovers(connection_, root_, claim_window_);
  }

  Expected<Size> screen_size() override {
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    ONDREL_CHECK(connect_if_needed(deadline));
    if (const auto resized = connection_.take_new_size(root_)) size_ = Size{resized->first, resized->second};
    if (size_) return *size_;
    // The root window's ConfigureNotify tells of every later change of size (RandR), so that a move needs no
    // round trip of its own for the check of its point.
    const std::uint32_t structure = kStructureNotifyMask;
    xcb_.change_window_attributes(connection_.raw_connection(), root_, kCwEventMask, &structure);
    Expected<Reply> reply = answer_of(connection_.deliver_then_ask({}, xcb_.get_geometry, root_, deadline), {});
    if (!reply.ok()) return reply.outcome();
    const auto& geometry = *static_cast<const XcbGetGeometryReply*>(reply.value().get());
    const auto resized = connection_.take_new_size(root_);  // one that came while GetGeometry was on its way
    size_ = resized ? Size{resized->first, resized->second} : Size{geometry.width, geometry.height};
    return *size_;
  }

  Expected<Point> position() override {
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    ONDREL_CHECK(connect_if_needed(deadline));
    return pointer_after({}, deadline);
  }

  Outcome move_to(Point point) override {
    if (!fits_coordinates(point)) return Outcome::failure("point " + point_text(point) + " is beyond X's coordinates");
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    ONDREL_CHECK(connect_if_needed(deadline));
    const FakeEvent motion{event_type::motion, kAbsoluteMotion, static_cast<std::int16_t>(point.x),
                           static_cast<std::int16_t>(point.y), root_};
    const Expected<Point> landed = pointer_after({&motion, 1}, deadline);
    if (!landed.ok()) return landed.outcome();
    if (landed.value() != point)
      return Outcome::failure("the pointer went to " + point_text(landed.value()) + " instead of " + point_text(point));
    return Outcome::success();
  }

  Outcome button(Button button, bool down) override {
    const FakeEvent event{down ? event_type::button_press : event_type::button_release, codes_of(button).x_button};
    return deliver_call({&event, 1});
  }

  // Many notches go in batches, each answered before the next is sent: the
  // server is never handed more than it takes in one deadline, and each
  // batch's round trip shows it is still taking them.
  Outcome wheel(std::int32_t dx, std::int32_t dy) override {
    std::vector<FakeEvent> events;
    add_notches(events, kWheelUp, kWheelDown, dy);
    add_notches(events, kWheelLeft, kWheelRight, dx);
    if (events.empty()) return Outcome::success();
    const SigpipeGuard sigpipe;
    ONDREL_CHECK(connect_if_needed(begin_call()));
    for (std::size_t first = 0; first < events.size(); first += kWheelEventsPerRoundTrip) {
      const std::size_t count = std::min(kWheelEventsPerRoundTrip, events.size() - first);
      ONDREL_CHECK(deliver(std::span(events).subspan(first, count), patience_from_now()));
    }
    return Outcome::success();
  }

  Outcome key(const SystemKey& key, bool down) override {
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    ONDREL_CHECK(connect_if_needed(deadline));
    const auto held = std::ranges::find(held_, key.keysym, &HeldKey::keysym);
    if (!down) return held == held_.end() ? Outcome::success() : release(held, deadline);
    if (held != held_.end()) return deliver(presses_of(held->keystroke), deadline);
    return press(key.keysym, deadline);
  }

  // The text is planned and written while this writer holds the display's
  // claim on its spare keycodes (writer_claim.h), so that writers in other
  // threads or processes neither bind the same keycode nor type on another's
  // binding, and the keymap is planned on is the one written on.
  Outcome write(std::string_view text, TypingPace pace) override {
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    ONDREL_CHECK(connect_if_needed(deadline));
    Expected<WriterClaim> claim =
        WriterClaim::take(connection_, root_, claim_window_, std::chrono::steady_clock::now() + kWriterPatience);
    if (!claim.ok()) return drop_connection({}, claim.error());  // the grab may wait on it still
    const Written written = write_claimed(claim.take(), text, pace);
    // write_text let go of what it held where it still could, and the claim
    // was given back behind it; the connection of a server that refused,
    // stalled or went away (or of a call stopped half-way) is put aside for
    // a fresh one.
    if (written.connection_spent && connection_.is_open()) retiring_ = std::move(connection_);
    return written.outcome;
  }

 private:
  struct Written {
    Outcome outcome;
    bool connection_spent;  // something was sent and went wrong
  };

  // The claim is given back (or, after a failure, queued to be given back
  // behind what was sent) when this returns.
  Written write_claimed(WriterClaim claim, std::string_view text, TypingPace pace) {
    Expected<Keymap> keymap = fetch_keymap(connection_, patience_from_now());
    if (!keymap.ok()) return {drop_connection({}, keymap.error()), true};
    Expected<TextPlan> plan = plan_text(text, keymap.value());
    if (!plan.ok()) {
      const Outcome given_back = claim.give_back();
      return given_back.ok() ? Written{plan.outcome(), false} : Written{given_back, true};
    }
    const Expected<std::vector<Keycode>> locks = turn_text_locks_off(connection_, keymap.value(), root_);
    if (!locks.ok()) return {locks.outcome(), connection_has_failed()};
    std::vector<Keycode> pressed = pressed_keycodes(plan.value());
    pressed.insert(pressed.end(), locks.value().begin(), locks.value().end());
    claim.record(bound_keycodes(plan.value()), pressed);
    const TextWritten text_written = write_text(connection_, PlannedText{keymap.take(), plan.take()}, pace);
    Outcome written = text_written.outcome;
    // Keys whose release may not have reached the server: released first
    // thing on the next connection.
    if (!text_written.unreleased.empty()) return {drop_connection(text_written.unreleased, written.error()), true};
    // The locks go back on whenever the server still takes input.
    if (!locks.value().empty() && !connection_has_failed()) {
      const Outcome relocked = tap_keys(connection_, locks.value());
      if (written.ok()) written = relocked;
    }
    if (!written.ok()) return {written, true};
    const Outcome given_back = claim.give_back();
    return {given_back, !given_back.ok()};
  }

  bool connection_has_failed() const {
    return !connection_.is_open() || xcb_.connection_has_error(connection_.raw_connection()) != 0;
  }

  // A connection put aside is closed once its server has answered.
  Deadline begin_call() {
    if (retiring_.is_open() && (retiring_.is_inherited() || retiring_.has_settled())) retiring_ = XtestConnection();
    return patience_from_now();
  }

  Outcome connect_if_needed(Deadline deadline) {
    if (connection_.is_open() && !connection_.is_inherited()) return Outcome::success();
    connection_ = XtestConnection();
    Expected<XtestConnection> connection = XtestConnection::open(xcb_, display_, deadline);
    if (!connection.ok()) return connection.outcome();
    connection_ = connection.take();
    size_.reset();
    root_ = root_of_screen(xcb_, connection_.raw_connection(), screen_);
    if (root_ == 0) {
      connection_ = XtestConnection();
      return Outcome::failure("the display " + display_ + " has no screen " + std::to_string(screen_));
    }
    claim_window_ = create_claim_window(connection_, root_);
    if (releases_due_.empty()) return Outcome::success();
    const std::vector<FakeEvent> releases = releases_due_;
    ONDREL_CHECK(deliver(releases, deadline));
    releases_due_.clear();
    return Outcome::success();
  }

  Outcome deliver_call(std::span<const FakeEvent> events) {
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    ONDREL_CHECK(connect_if_needed(deadline));
    return deliver(events, deadline);
  }

  Outcome deliver(std::span<const FakeEvent> events, Deadline deadline) {
    const Delivery delivery = connection_.deliver(events, deadline);
    if (delivery == Delivery::delivered) return Outcome::success();
    return failed(delivery, events);
  }

  Expected<Reply> answer_of(Answer answer, std::span<const FakeEvent> events) {
    if (answer.delivery == Delivery::delivered) return std::move(answer.reply);
    return failed(answer.delivery, events);
  }

  // Where the pointer is once the server has acted on `events`.
  Expected<Point> pointer_after(std::span<const FakeEvent> events, Deadline deadline) {
    Expected<Reply> reply = answer_of(connection_.deliver_then_ask(events, xcb_.query_pointer, root_, deadline), events);
    if (!reply.ok()) return reply.outcome();
    const auto& pointer = *static_cast<const XcbQueryPointerReply*>(reply.value().get());
    if (pointer.same_screen == 0)
      return Outcome::failure("the pointer is on another screen than screen " + std::to_string(screen_) + " of " +
                              display_);
    return Point{pointer.root_x, pointer.root_y};
  }

  Outcome press(Keysym keysym, Deadline deadline) {
    Expected<PlannedKey> planned = plan_on_server(keysym, deadline);
    if (!planned.ok()) return planned.outcome();
    if (!planned.value().plan.binding) {
      const Keystroke keystroke = planned.value().plan.keystroke;
      ONDREL_CHECK(deliver(presses_of(keystroke), deadline));
      held_.push_back({keysym, keystroke, {}, {}});
      return Outcome::success();
    }
    return press_on_spare_keycode(keysym);
  }

  // The keycode is chosen and bound under the writers' claim
  // (writer_claim.h), on the keymap of that moment, so that no writer binds
  // it too; the claim is given back once the binding is made.
  Outcome press_on_spare_keycode(Keysym keysym) {
    Expected<WriterClaim> claim =
        WriterClaim::take(connection_, root_, claim_window_, std::chrono::steady_clock::now() + kWriterPatience);
    if (!claim.ok()) return drop_connection({}, claim.error());
    WriterClaim bound_under = claim.take();
    Expected<PlannedKey> planned = plan_on_server(keysym, patience_from_now());
    if (!planned.ok()) return planned.outcome();
    PlannedKey key = planned.take();
    HeldKey held{keysym, key.plan.keystroke, key.plan.binding, {}};
    if (held.binding) {
      held.original = std::move(key.keymap.keyboard);
      ONDREL_CHECK(mapping_result(bind_spare_keycodes(connection_, {&*held.binding, 1})));
    }
    ONDREL_CHECK(mapping_result(bound_under.give_back()));
    held_.push_back(std::move(held));  // from now on the binding is undone when the key goes up
    const Outcome pressed = deliver(presses_of(held_.back().keystroke), patience_from_now());
    if (!pressed.ok() && connection_.is_open()) (void)release(std::prev(held_.end()), patience_from_now());
    if (!pressed.ok() && !connection_.is_open()) held_.pop_back();  // its server is gone or stalled: so is the binding
    return pressed;
  }

  struct PlannedKey {
    Keymap keymap;
    KeyPlan plan;
  };

  // The keystroke for `keysym` on the server's keymap and lock state now.
  Expected<PlannedKey> plan_on_server(Keysym keysym, Deadline deadline) {
    Expected<Keymap> fetched = fetch_keymap(connection_, deadline);
    if (!fetched.ok()) return drop_connection({}, fetched.error());
    bool num_lock = false;
    if (is_keypad(keysym)) {
      const Expected<std::uint16_t> state = modifier_state(connection_, root_, deadline);
      if (!state.ok()) return drop_connection({}, state.error());
      num_lock = (state.value() & num_lock_mask(fetched.value())) != 0;
    }
    Expected<KeyPlan> plan = plan_key(fetched.value(), keysym, num_lock);
    if (!plan.ok()) return plan.outcome();
    return PlannedKey{fetched.take(), plan.take()};
  }

  // A keypad key gives its second keysym with Num Lock on, its first with it
  // off, whatever Shift does; a keysym at the other level goes on a spare
  // keycode.
  Expected<KeyPlan> plan_key(const Keymap& keymap, Keysym keysym, bool num_lock) const {
    if (const std::optional<Keystroke> keystroke = find_keysym(keymap, keysym)) {
      if (!is_keypad(keysym)) return KeyPlan{*keystroke, {}};
      const std::span<const Keysym> row = keymap.keyboard.row(keystroke->key);
      if (row.size() < 2 || row[1] == kNoSymbol || row[0] == row[1]) return KeyPlan{Keystroke{keystroke->key}, {}};
      if (row[num_lock ? 1 : 0] == keysym) return KeyPlan{Keystroke{keystroke->key}, {}};
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
  Outcome release(std::vector<HeldKey>::iterator held, Deadline deadline) {
    Outcome released = deliver(releases_of(held->keystroke), deadline);
    if (!held->binding) {
      if (released.ok()) held_.erase(held);
      return released;
    }
    const HeldKey key = std::move(*held);
    held_.erase(held);
    if (!connection_.is_open()) return released;  // the binding went with the connection's server, or stays
    if (released.ok()) pause_ms(kLookupSettleMs);
    const Outcome restored = mapping_result(restore_keycodes(connection_, key.original, {&*key.binding, 1}));
    return released.ok() ? restored : released;
  }

  Outcome mapping_result(const Outcome& result) {
    if (result.ok()) return result;
    if (connection_.library().connection_has_error(connection_.raw_connection()) != 0)
      return drop_connection({}, result.error());
    return result;
  }

  Outcome failed(Delivery delivery, std::span<const FakeEvent> events) {
    if (delivery == Delivery::refused) return Outcome::failure("the X server refused the input");
    return drop_connection(events, delivery_failure(delivery));
  }

  Outcome drop_connection(std::span<const FakeEvent> unknown, std::string why) {
    XtestConnection dropped = std::move(connection_);
    const std::vector<FakeEvent> releases = releases_of_presses(unknown);
    if (!dropped.send_at_once(releases)) {
      for (const FakeEvent& release : releases)
        if (std::ranges::find(releases_due_, release) == releases_due_.end()) releases_due_.push_back(release);
    }
    retiring_ = std::move(dropped);
    return Outcome::failure(std::move(why));
  }

  const XcbLibrary& xcb_;
  const std::string display_;
  const int screen_;
  XtestConnection connection_;
  std::uint32_t root_;
  std::uint32_t claim_window_ = 0;       // the connection's own, to hold the writers' claim with
  std::optional<Size> size_;             // the root window's, kept current by its ConfigureNotify events
  XtestConnection retiring_;             // put aside after a failure, open until the server has answered on it
  std::vector<FakeEvent> releases_due_;  // what calls of unknown fate pressed, not yet released
  std::vector<HeldKey> held_;            // the keys down, each with the keystroke that pressed it
};

// The screen that `display` names: ":0" is screen 0, ":0.1" screen 1.
std::optional<int> screen_of(const XcbLibrary& xcb, const std::string& display) {
  char* host = nullptr;
  int number = 0;
  int screen = 0;
  if (xcb.parse_display(display.c_str(), &host, &number, &screen) == 0) return std::nullopt;
  std::free(host);  // allocated by libxcb with malloc
  return screen;
}

}  // namespace

Expected<std::unique_ptr<ComputerSystem>> open_computer_system() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return Outcome::failure("DISPLAY is not set");
  const Expected<const XcbLibrary*> library = xcb_library();
  if (!library.ok()) return library.outcome();
  const XcbLibrary& xcb = *library.value();
  const std::optional<int> screen = screen_of(xcb, display);
  if (!screen) return Outcome::failure("DISPLAY '" + std::string(display) + "' does not name a display");
  const SigpipeGuard sigpipe;
  Expected<XtestConnection> connection = XtestConnection::open(xcb, display, patience_from_now());
  if (!connection.ok()) return connection.outcome();
  const std::uint32_t root = root_of_screen(xcb, connection.value().raw_connection(), *screen);
  if (root == 0) return Outcome::failure("the display " + std::string(display) + " has no screen " + std::to_string(*screen));
  auto system = std::make_unique<XComputerSystem>(xcb, display, *screen, connection.take(), root);
  ONDREL_CHECK(system->put_back_leftovers());
  return std::unique_ptr<ComputerSystem>(std::move(system));
}

}  // namespace ondrel::linux::x11
