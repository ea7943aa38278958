#include "platform/linux/x11/sink.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/linux/x11/fake_events.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/sigpipe_guard.h"
#include "platform/linux/x11/xtest_connection.h"

namespace ondrel::linux::x11 {
namespace {

// Plays each change on the display that DISPLAY named when the device was
// created. A connection that broke is dropped, and the next change connects
// again, so a device outlives a restart of its server; a forked child's
// first change connects on its own.
//
// Each change has one deadline for all of its waits: connecting, releases
// still due, its own events and their round trip.
//
// A change whose delivery is unknown (no answer in time, or the connection
// broke after the write) fails, yet may still land, for instance once a stopped server continues. What it pressed
// is therefore released at once on the same connection, right behind the
// presses, so that the server meets the releases as soon as it meets the
// presses; that write waits for nothing and is skipped when the socket has
// no room. Releases that could not be written so are sent on the next
// connection, before anything else. The connection itself is kept aside,
// unused, until the server has answered: an X server that finds a client's
// socket closed drops it with whatever it had not read yet, and that may be
// a release (of this change, or the one just written) whose press it has
// already acted on.
class Sink final : public InputSink {
 public:
  Sink(const XcbLibrary& xcb, std::string display, XtestConnection connection)
      : xcb_(xcb), display_(std::move(display)), connection_(std::move(connection)) {}

  HidResult apply(const InputChange& change) override {
    const std::optional<std::vector<FakeEvent>> events = fake_events_for(change);
    if (!events) return HidError::send_failed("the record has no X equivalent");
    const SigpipeGuard sigpipe;
    if (retiring_.is_open() && (retiring_.is_inherited() || retiring_.has_settled())) retiring_ = XtestConnection();
    const Deadline deadline = patience_from_now();
    ONDREL_TRY(connect_if_needed(deadline));
    return deliver(*events, deadline);
  }

 private:
  HidResult connect_if_needed(Deadline deadline) {
    if (connection_.is_open() && !connection_.is_inherited()) return HidResult::success();
    connection_ = XtestConnection();
    Expected<XtestConnection> connection = XtestConnection::open(xcb_, display_, deadline);
    if (!connection.ok()) return HidError::send_failed(connection.error());
    connection_ = connection.take();
    if (releases_due_.empty()) return HidResult::success();
    const std::vector<FakeEvent> releases = releases_due_;
    ONDREL_TRY(deliver(releases, deadline));
    releases_due_.clear();
    return HidResult::success();
  }

  HidResult deliver(std::span<const FakeEvent> events, Deadline deadline) {
    switch (connection_.deliver(events, deadline)) {
      case Delivery::delivered:
        return HidResult::success();
      case Delivery::refused:
        return HidError::send_failed("the X server refused the input");
      case Delivery::timed_out:
        return drop_connection(events, "the X server did not answer within " + patience_text());
      case Delivery::lost:
        break;
    }
    return drop_connection(events, "the X connection was lost");
  }

  HidError drop_connection(std::span<const FakeEvent> unknown, std::string why) {
    XtestConnection dropped = std::move(connection_);
    const std::vector<FakeEvent> releases = releases_of_presses(unknown);
    if (!dropped.send_at_once(releases)) {
      for (const FakeEvent& release : releases) {
        if (std::find(releases_due_.begin(), releases_due_.end(), release) == releases_due_.end())
          releases_due_.push_back(release);
      }
    }
    retiring_ = std::move(dropped);
    return HidError::send_failed(std::move(why));
  }

  const XcbLibrary& xcb_;
  const std::string display_;
  XtestConnection connection_;
  XtestConnection retiring_;  // dropped after a failure, open until the server has answered on it
  std::vector<FakeEvent> releases_due_;  // what changes of unknown fate pressed, not yet released
};

}  // namespace

Expected<std::unique_ptr<InputSink>> open_sink() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return Outcome::failure("DISPLAY is not set");
  const Expected<const XcbLibrary*> xcb = xcb_library();
  if (!xcb.ok()) return xcb.outcome();
  const SigpipeGuard sigpipe;
  Expected<XtestConnection> connection = XtestConnection::open(*xcb.value(), display, patience_from_now());
  if (!connection.ok()) return connection.outcome();
  return std::unique_ptr<InputSink>(std::make_unique<Sink>(*xcb.value(), display, connection.take()));
}

}  // namespace ondrel::linux::x11
