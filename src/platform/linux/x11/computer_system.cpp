#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "platform/linux/computer_systems.h"
#include "platform/linux/x11/claimed_writing.h"
#include "platform/linux/x11/fake_events.h"
#include "platform/linux/x11/held_keys.h"
#include "platform/linux/x11/kept_connection.h"
#include "platform/linux/x11/keymap_requests.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/screen_capture.h"
#include "platform/linux/x11/sigpipe_guard.h"
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

std::string point_text(Point point) {
  return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

bool fits_coordinates(Point point) {
  constexpr std::int32_t largest = std::numeric_limits<std::int16_t>::max();
  return point.x >= 0 && point.y >= 0 && point.x <= largest && point.y <= largest;
}

// One click of `negative` or `positive` per notch, by the sign of `notches`.
void add_notches(std::vector<FakeEvent>& events, std::uint8_t negative, std::uint8_t positive, std::int32_t notches) {
  const std::uint8_t button = notches < 0 ? negative : positive;
  for (std::int64_t i = 0; i < std::abs(std::int64_t{notches}); ++i) {
    events.push_back({event_type::button_press, button});
    events.push_back({event_type::button_release, button});
  }
}

// The screen that DISPLAY names (its default screen, usually the only one),
// through XTEST on one connection of its own (kept_connection.h). A point is
// on that screen: a move takes the pointer there, and where the pointer is
// elsewhere, position() says so. Keys are held as held_keys.h says, text
// written as claimed_writing.h says.
class XComputerSystem final : public ComputerSystem {
 public:
  explicit XComputerSystem(KeptConnection kept) : kept_(std::move(kept)) {}

  // What a writer that died left on the display is put back before anything
  // else is sent.
  Outcome put_back_leftovers() {
    return WriterClaim::put_back_leftovers(kept_.connection(), kept_.root(), kept_.claim_window());
  }

  Expected<Size> screen_size() override {
    const SigpipeGuard sigpipe;
    const Expected<Deadline> call = begin_call();
    if (!call.ok()) return call.outcome();
    return size_now(call.value());
  }

  Expected<Point> position() override {
    const SigpipeGuard sigpipe;
    const Expected<Deadline> call = begin_call();
    if (!call.ok()) return call.outcome();
    const Deadline deadline = call.value();
    return pointer_after({}, deadline);
  }

  Outcome move_to(Point point) override {
    if (!fits_coordinates(point)) return Outcome::failure("point " + point_text(point) + " is beyond X's coordinates");
    const SigpipeGuard sigpipe;
    const Expected<Deadline> call = begin_call();
    if (!call.ok()) return call.outcome();
    const Deadline deadline = call.value();
    const FakeEvent motion{event_type::motion, kAbsoluteMotion, static_cast<std::int16_t>(point.x),
                           static_cast<std::int16_t>(point.y), kept_.root()};
    const Expected<Point> landed = pointer_after({&motion, 1}, deadline);
    if (!landed.ok()) return landed.outcome();
    if (landed.value() != point)
      return Outcome::failure("the pointer went to " + point_text(landed.value()) + " instead of " + point_text(point));
    return Outcome::success();
  }

  Outcome button(Button button, bool down) override {
    const FakeEvent event{down ? event_type::button_press : event_type::button_release, codes_of(button).x_button};
    const SigpipeGuard sigpipe;
    const Expected<Deadline> call = begin_call();
    if (!call.ok()) return call.outcome();
    const Deadline deadline = call.value();
    return kept_.deliver({&event, 1}, deadline);
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
    ONDREL_CHECK(begin_call().outcome());
    for (std::size_t first = 0; first < events.size(); first += kWheelEventsPerRoundTrip) {
      const std::size_t count = std::min(kWheelEventsPerRoundTrip, events.size() - first);
      ONDREL_CHECK(kept_.deliver(std::span(events).subspan(first, count), patience_from_now()));
    }
    return Outcome::success();
  }

  Outcome key(const SystemKey& key, bool down) override {
    const SigpipeGuard sigpipe;
    const Expected<Deadline> call = begin_call();
    if (!call.ok()) return call.outcome();
    const Deadline deadline = call.value();
    return held_keys_.key(key.keysym, down, deadline);
  }

  Outcome write(std::string_view text, TypingPace pace) override {
    const SigpipeGuard sigpipe;
    ONDREL_CHECK(begin_call().outcome());
    return write_under_claim(kept_, text, pace);
  }

  // The whole screen is taken at the size the server gives now: should it
  // have changed unseen, the refused request is asked again at the new size.
  Expected<screen::RgbImage> capture(std::optional<ScreenArea> area) override {
    const SigpipeGuard sigpipe;
    const Expected<Deadline> call = begin_call();
    if (!call.ok()) return call.outcome();
    const Deadline deadline = call.value();
    for (int attempt = 0;; ++attempt) {
      const Expected<Size> size = size_now(deadline);
      if (!size.ok()) return size.outcome();
      const ScreenArea wanted = area.value_or(ScreenArea{{0, 0}, size.value()});
      Capture taken = capture_root_area(kept_.connection(), kept_.root(), wanted, deadline);
      if (taken.delivery == Delivery::delivered) return std::move(taken.image);
      if (taken.delivery != Delivery::refused) return kept_.drop({}, delivery_failure(taken.delivery));
      size_.reset();  // read again: a refusal is what a changed size gives
      const Expected<Size> now = size_now(deadline);
      if (!now.ok()) return now.outcome();
      if (now.value() == size.value() || attempt > 0)
        return Outcome::failure("the X server refused to give the screen's pixels");
      if (area)
        return Outcome::failure("the screen's size changed to " + std::to_string(now.value().width) + "x" +
                                std::to_string(now.value().height));
    }
  }

 private:
  // Every call starts here: the call's deadline once its connection is open.
  Expected<Deadline> begin_call() {
    const Deadline deadline = kept_.begin_call();
    ONDREL_CHECK(kept_.connect_if_needed(deadline));
    if (kept_.connections_opened() != sizes_asked_on_) {  // a new connection: the size is asked again
      size_.reset();
      sizes_asked_on_ = kept_.connections_opened();
    }
    return deadline;
  }

  // The root window's size, asked only once per connection and whenever it changed.
  Expected<Size> size_now(Deadline deadline) {
    XtestConnection& connection = kept_.connection();
    if (const auto resized = connection.take_new_size(kept_.root())) size_ = Size{resized->first, resized->second};
    if (size_) return *size_;
    // The root window's ConfigureNotify tells of every later change of size (RandR), so that a move needs no
    // round trip of its own for the check of its point.
    const std::uint32_t structure = kStructureNotifyMask;
    kept_.xcb().change_window_attributes(connection.raw_connection(), kept_.root(), kCwEventMask, &structure);
    Expected<Reply> reply =
        kept_.answer_of(connection.deliver_then_ask({}, kept_.xcb().get_geometry, kept_.root(), deadline), {});
    if (!reply.ok()) return reply.outcome();
    const auto& geometry = *static_cast<const XcbGetGeometryReply*>(reply.value().get());
    const auto resized = connection.take_new_size(kept_.root());  // one that came while GetGeometry was on its way
    size_ = resized ? Size{resized->first, resized->second} : Size{geometry.width, geometry.height};
    return *size_;
  }

  // Where the pointer is once the server has acted on `events`.
  Expected<Point> pointer_after(std::span<const FakeEvent> events, Deadline deadline) {
    Expected<Reply> reply = kept_.answer_of(
        kept_.connection().deliver_then_ask(events, kept_.xcb().query_pointer, kept_.root(), deadline), events);
    if (!reply.ok()) return reply.outcome();
    const auto& pointer = *static_cast<const XcbQueryPointerReply*>(reply.value().get());
    if (pointer.same_screen == 0)
      return Outcome::failure("the pointer is on another screen than screen " + std::to_string(kept_.screen()) +
                              " of " + kept_.display());
    return Point{pointer.root_x, pointer.root_y};
  }

  KeptConnection kept_;
  HeldKeys held_keys_{kept_};
  std::optional<Size> size_;  // the root window's, kept current by its ConfigureNotify events
  unsigned sizes_asked_on_ = 1;
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
  auto system = std::make_unique<XComputerSystem>(KeptConnection(xcb, display, *screen, connection.take(), root));
  ONDREL_CHECK(system->put_back_leftovers());
  return std::unique_ptr<ComputerSystem>(std::move(system));
}

}  // namespace ondrel::linux::x11
