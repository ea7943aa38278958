#pragma once

#include <chrono>
#include <span>
#include <string>

#include "platform/linux/x11_fake_events.h"
#include "platform/linux/x11_library.h"
#include "platform/linux/x11_readiness.h"

namespace ondrel::x11 {

// How long a server may take to answer before it is taken as gone: a stopped
// or wedged server must not hold the caller forever.
inline constexpr std::chrono::milliseconds kServerPatience{2000};

enum class Delivery {
  delivered,  // the server has processed every event
  refused,    // the server answered with an error
  lost,       // the connection broke, or the server did not answer in time
};

// A connection of one device's own to an X display whose server has XTEST.
class XtestConnection {
 public:
  XtestConnection() = default;
  XtestConnection(XtestConnection&& other) noexcept;
  XtestConnection& operator=(XtestConnection&& other) noexcept;
  ~XtestConnection();

  // Connects to `display`; a connection that is not open, with the reason
  // as a short clause in `why_not`, when the server cannot be reached, does
  // not answer or has no XTEST.
  static XtestConnection open(const XcbLibrary& xcb, const std::string& display, std::string& why_not);

  bool is_open() const { return connection_ != nullptr; }

  // Sends `events` and waits for a round trip, so that once this says
  // delivered the server has processed them: what another client sees next
  // already includes them.
  Delivery deliver(std::span<const FakeEvent> events);

 private:
  XtestConnection(const XcbLibrary& xcb, XcbConnection* connection) : xcb_(&xcb), connection_(connection) {}
  bool round_trip(Deadline deadline);
  bool queue_held_an_error();

  const XcbLibrary* xcb_ = nullptr;
  XcbConnection* connection_ = nullptr;
};

}  // namespace ondrel::x11
