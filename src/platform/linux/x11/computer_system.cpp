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
#include "platform/linux/x11/screen_capture.h"
#include "platform/linux/x11/sigpipe_guard.h"
#include "platform/linux/x11/text_writing.h"
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
      : xcb_(xcb), display_(std::move(display)), screen_(screen), connection_(std::move(connection)), root_(root) {}

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

  Outcome wheel(std::int32_t dx, std::int32_t dy) override {
    std::vector<FakeEvent> events;
    add_notches(events, kWheelUp, kWheelDown, dy);
    add_notches(events, kWheelLeft, kWheelRight, dx);
    if (events.empty()) return Outcome::success();
    return deliver_call(events);
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

  Outcome write(std::string_view text, TypingPace pace) override {
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    ONDREL_CHECK(connect_if_needed(deadline));
    Expected<Keymap> keymap = fetch_keymap(connection_, deadline);
    if (!keymap.ok()) return drop_connection({}, keymap.error());
    Expected<TextPlan> plan = plan_text(text, keymap.value());
    if (!plan.ok()) return plan.outcome();
    const Outcome written = write_text(connection_, PlannedText{keymap.take(), plan.take()}, pace);
    // write_text let go of what it held where it still could; the connection
    // of a server that refused, stalled or went away (or of a call stopped
    // half-way) is put aside for a fresh one.
    if (!written.ok()) retiring_ = std::move(connection_);
    return written;
  }

  // The whole screen is taken at the size the server gives now: should it
  // have changed unseen, the refused request is asked again at the new size.
  Expected<screen::RgbImage> capture(std::optional<ScreenArea> area) override {
    const SigpipeGuard sigpipe;
    const Deadline deadline = begin_call();
    for (int attempt = 0;; ++attempt) {
      const Expected<Size> size = screen_size();
      if (!size.ok()) return size.outcome();
      const ScreenArea wanted = area.value_or(ScreenArea{{0, 0}, size.value()});
      Capture taken = capture_root_area(connection_, root_, wanted, deadline);
      if (taken.delivery == Delivery::delivered) return std::move(taken.image);
      if (taken.delivery != Delivery::refused) return failed(taken.delivery, {});
      size_.reset();  // read again: a refusal is what a changed size gives
      const Expected<Size> now = screen_size();
      if (!now.ok()) return now.outcome();
      if (now.value() == size.value() || attempt > 0)
        return Outcome::failure("the X server refused to give the screen's pixels");
      if (area)
        return Outcome::failure("the screen's size changed to " + std::to_string(now.value().width) + "x" +
                                std::to_string(now.value().height));
    }
  }

 private:
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
    Expected<Keymap> fetched = fetch_keymap(connection_, deadline);
    if (!fetched.ok()) return drop_connection({}, fetched.error());
    Keymap keymap = fetched.take();
    const Expected<KeyPlan> plan = plan_key(keymap, keysym);
    if (!plan.ok()) return plan.outcome();
    HeldKey held{keysym, plan.value().keystroke, plan.value().binding, {}};
    if (held.binding) {
      held.original = std::move(keymap.keyboard);
      ONDREL_CHECK(mapping_result(bind_spare_keycodes(connection_, {&*held.binding, 1})));
      held_.push_back(std::move(held));  // from now on the binding is undone when the key goes up
      const Outcome pressed = deliver(presses_of(held_.back().keystroke), deadline);
      if (!pressed.ok() && connection_.is_open()) (void)release(std::prev(held_.end()), patience_from_now());
      if (!pressed.ok() && !connection_.is_open()) held_.pop_back();  // its server is gone or stalled: so is the binding
      return pressed;
    }
    ONDREL_CHECK(deliver(presses_of(held.keystroke), deadline));
    held_.push_back(std::move(held));
    return Outcome::success();
  }

  Expected<KeyPlan> plan_key(const Keymap& keymap, Keysym keysym) const {
    if (const std::optional<Keystroke> keystroke = find_keysym(keymap, keysym)) return KeyPlan{*keystroke, {}};
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
  return std::unique_ptr<ComputerSystem>(
      std::make_unique<XComputerSystem>(xcb, display, *screen, connection.take(), root));
}

}  // namespace ondrel::linux::x11
