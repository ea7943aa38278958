#include "platform/linux/x11_xtest_connection.h"

#include <cstdlib>
#include <utility>

#include "platform/linux/x11_display_probe.h"

namespace ondrel::x11 {
namespace {

constexpr std::uint32_t kCurrentTime = 0;
constexpr std::uint32_t kRootOfThePointer = 0;  // None
constexpr std::uint8_t kCoreDevices = 0;

Deadline patience_from_now() { return std::chrono::steady_clock::now() + kServerPatience; }

std::string unreachable(const std::string& display, int connection_error) {
  if (connection_error == kXcbParseError) return "DISPLAY '" + display + "' does not name a display";
  if (connection_error == kXcbInvalidScreen) return "the display " + display + " has no such screen";
  return "the display " + display + " cannot be reached";
}

}  // namespace

XtestConnection::XtestConnection(XtestConnection&& other) noexcept
    : xcb_(other.xcb_), connection_(std::exchange(other.connection_, nullptr)) {}

XtestConnection& XtestConnection::operator=(XtestConnection&& other) noexcept {
  if (this != &other) {
    XtestConnection old(std::move(*this));
    xcb_ = other.xcb_;
    connection_ = std::exchange(other.connection_, nullptr);
  }
  return *this;
}

// Disconnecting only closes the socket; it never writes or waits.
XtestConnection::~XtestConnection() {
  if (connection_ != nullptr) xcb_->disconnect(connection_);
}

XtestConnection XtestConnection::open(const XcbLibrary& xcb, const std::string& display, std::string& why_not) {
  if (display_is_silent(xcb, display, kServerPatience)) {
    why_not = "the display " + display + " does not answer";
    return {};
  }
  int screen = 0;
  // Owned from here on: even a failed connection must be disconnected.
  XtestConnection connection(xcb, xcb.connect(display.c_str(), &screen));
  if (const int error = xcb.connection_has_error(connection.connection_)) {
    why_not = unreachable(display, error);
    return {};
  }
  xcb.prefetch_extension_data(connection.connection_, xcb.test_extension);
  if (!connection.round_trip(patience_from_now())) {
    why_not = "the display " + display + " does not answer";
    return {};
  }
  // Answered already by the round trip, so this does not wait.
  const XcbQueryExtensionReply* xtest = xcb.get_extension_data(connection.connection_, xcb.test_extension);
  if (xtest == nullptr || xtest->present == 0) {
    why_not = "the display " + display + " has no XTEST extension";
    return {};
  }
  return connection;
}

Delivery XtestConnection::deliver(std::span<const FakeEvent> events) {
  for (const FakeEvent& event : events) {
    xcb_->test_fake_input(connection_, event.type, event.detail, kCurrentTime, kRootOfThePointer, event.dx, event.dy,
                          kCoreDevices);
  }
  if (!round_trip(patience_from_now())) return Delivery::lost;
  return queue_held_an_error() ? Delivery::refused : Delivery::delivered;
}

// GetInputFocus is the cheapest request with a reply; its reply comes after
// the server has processed everything sent before it. The wait polls the
// socket so that it can end at `deadline`, which xcb_wait_for_reply cannot.
bool XtestConnection::round_trip(Deadline deadline) {
  const XcbCookie cookie = xcb_->get_input_focus(connection_);
  if (xcb_->flush(connection_) <= 0) return false;
  const int fd = xcb_->get_file_descriptor(connection_);
  for (;;) {
    void* reply = nullptr;
    XcbResponse* error = nullptr;
    if (xcb_->poll_for_reply(connection_, cookie.sequence, &reply, &error) != 0) {
      const bool answered = reply != nullptr;
      std::free(reply);  // replies and errors are allocated by libxcb with malloc
      std::free(error);
      return answered;
    }
    if (xcb_->connection_has_error(connection_) != 0 || !readable_before(fd, deadline)) return false;
  }
}

// Errors of our unchecked requests wait in the event queue, as would any
// event sent to every client (MappingNotify); both are taken out, so the
// queue never grows.
bool XtestConnection::queue_held_an_error() {
  bool error = false;
  while (XcbResponse* response = xcb_->poll_for_queued_event(connection_)) {
    error = error || response->response_type == 0;
    std::free(response);
  }
  return error;
}

}  // namespace ondrel::x11
