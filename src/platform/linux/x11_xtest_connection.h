#pragma once

#include <sys/types.h>

#include <span>
#include <string>

#include "platform/linux/x11_fake_events.h"
#include "platform/linux/x11_library.h"
#include "platform/linux/x11_readiness.h"

namespace ondrel::x11 {

enum class Delivery {
  delivered,  // the server has processed every event
  refused,    // the server answered with an error
  timed_out,  // the server did not answer in time: the events may still land
  lost,       // the connection broke: the events may or may not have landed
};

// A connection of one device's own to an X display whose server has XTEST.
// It belongs to the process that opened it: a forked child's copy is let go
// without touching the parent's connection.
class XtestConnection {
 public:
  XtestConnection() = default;
  XtestConnection(XtestConnection&& other) noexcept;
  XtestConnection& operator=(XtestConnection&& other) noexcept;
  ~XtestConnection();

  // Connects to `display` within kServerPatience, whatever the server does;
  // a connection that is not open, with the reason as a short clause in
  // `why_not`, when the server cannot be reached, refuses us, does not
  // answer or has no XTEST.
  static XtestConnection open(const XcbLibrary& xcb, const std::string& display, std::string& why_not);

  [[nodiscard]] bool is_open() const { return connection_ != nullptr; }
  // Open, but by the process this one was forked from.
  [[nodiscard]] bool is_inherited() const;

  // Sends `events` and waits for a round trip, so that once this says
  // delivered the server has processed them: what another client sees next
  // already includes them.
  Delivery deliver(std::span<const FakeEvent> events);

  // For requests beyond XTEST's on this connection (the keyboard mapping).
  [[nodiscard]] XcbConnection* raw_connection() const { return connection_; }
  [[nodiscard]] const XcbLibrary& library() const { return *xcb_; }

 private:
  XtestConnection(const XcbLibrary& xcb, XcbConnection* connection);
  void release();
  bool answered_before(unsigned int sequence, Deadline deadline);
  Delivery round_trip(Deadline deadline);
  bool queue_held_an_error();

  const XcbLibrary* xcb_ = nullptr;
  XcbConnection* connection_ = nullptr;
  pid_t owner_ = 0;
};

}  // namespace ondrel::x11
