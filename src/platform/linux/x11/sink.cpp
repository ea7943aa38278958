#include "platform/linux/x11/sink.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/input_changes.h"
#include "platform/linux/x11/fake_events.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/sigpipe_guard.h"
#include "platform/linux/x11/xtest_connection.h"

namespace ondrel::linux::x11 {
namespace {

// Plays each record on the display that DISPLAY named when the device was
// created. A connection that broke is dropped, and the next record connects
// again, so a device outlives a restart of its server; a forked child's
// first record connects on its own.
//
// Each record has one deadline for all of its waits: connecting, releases
// still due, its own events and their round trip.
//
// A record whose delivery is unknown (no answer in time, or the connection
// broke after the write) fails, as SendInput tells a Windows caller, yet may
// still land, for instance once a stopped server continues. What it pressed
// is therefore released at once on the same connection, right behind the
// presses, so that the server meets the releases as soon as it meets the
// presses; that write waits for nothing and is skipped when the socket has
// no room. Releases that could not be written so are sent on the next
// connection, before anything else. The connection itself is kept aside,
// unused, until the server has answered: an X server that finds a client's
// socket closed drops it with whatever it had not read yet, and that may be
// a release (of this record, or the one just written) whose press it has
// already acted on.
class X11Sink final : public InputSink {
 public:
  X11Sink(const XcbLibrary& xcb, std::string display, XtestConnection connection)
      : xcb_(xcb), display_(std::move(display)), connection_(std::move(connection)) {}

  HidResult send_input(const win32::Input& input) override {
    const std::optional<InputChanges> changes = decode_record(input);
    const auto events = changes ? fake_events_for(*changes) : std::nullopt;
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
    std::string why_not;
    XtestConnection connection = XtestConnection::open(xcb_, display_, deadline, why_not);
    if (!connection.is_open()) return HidError::send_failed(why_not);
    connection_ = std::move(connection);
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
  std::vector<FakeEvent> releases_due_;  // what records of unknown fate pressed, not yet released
};

}  // namespace

std::unique_ptr<InputSink> open_sink(std::string& why_not) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    why_not = "DISPLAY is not set";
    return nullptr;
  }
  const XcbLibrary* xcb = xcb_library(why_not);
  if (xcb == nullptr) return nullptr;
  const SigpipeGuard sigpipe;
  XtestConnection connection = XtestConnection::open(*xcb, display, patience_from_now(), why_not);
  if (!connection.is_open()) return nullptr;
  return std::make_unique<X11Sink>(*xcb, display, std::move(connection));
}

}  // namespace ondrel::linux::x11
