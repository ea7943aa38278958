#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/x11/fake_events.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/xtest_connection.h"

namespace ondrel::linux::x11 {

using Reply = std::unique_ptr<void, FreeReply>;

// The computer layer's connection to the screen that DISPLAY names, kept
// from call to call as the devices' X sink keeps its own (sink.cpp): each
// call has one deadline for all of its waits; a connection that broke or did
// not answer is put aside (closed once its server has answered) and the next
// call connects again; what a call of unknown fate pressed is released at
// once on the old connection, or first thing on the next one.
class KeptConnection {
 public:
  KeptConnection(const XcbLibrary& xcb, std::string display, int screen, XtestConnection connection,
                 std::uint32_t root);

  // Closes a connection put aside once its server has answered; the
  // deadline of a call that starts now.
  Deadline begin_call();
  // Connects again if the last connection was put aside (or inherited
  // through a fork), and releases first what is due.
  Outcome connect_if_needed(Deadline deadline);
  // How many connections were opened: a new one means a new root window size
  // to ask for.
  [[nodiscard]] unsigned connections_opened() const { return connections_opened_; }

  // Sends `events` and waits until the server has acted on them.
  Outcome deliver(std::span<const FakeEvent> events, Deadline deadline);
  // The reply of `answer`, or the failure of the delivery of `events` before it.
  Expected<Reply> answer_of(Answer answer, std::span<const FakeEvent> events);
  // A failure of a keyboard mapping request: the connection is put aside if it broke.
  Outcome mapping_result(const Outcome& result);
  // Puts the connection aside, releasing what `unknown` pressed at once or on
  // the next connection; fails with `why`.
  Outcome drop(std::span<const FakeEvent> unknown, std::string why);
  // Puts the connection aside after a call that may have left it with
  // requests in flight or a server that does not answer.
  void retire();
  [[nodiscard]] bool has_failed() const;

  [[nodiscard]] XtestConnection& connection() { return connection_; }
  [[nodiscard]] const XcbLibrary& xcb() const { return xcb_; }
  [[nodiscard]] std::uint32_t root() const { return root_; }
  [[nodiscard]] std::uint32_t claim_window() const { return claim_window_; }
  [[nodiscard]] const std::string& display() const { return display_; }
  [[nodiscard]] int screen() const { return screen_; }

 private:
  Outcome failed(Delivery delivery, std::span<const FakeEvent> events);

  const XcbLibrary& xcb_;
  const std::string display_;
  const int screen_;
  XtestConnection connection_;
  std::uint32_t root_;
  std::uint32_t claim_window_;           // the connection's own, to hold the writers' claim with
  unsigned connections_opened_ = 1;
  XtestConnection retiring_;             // put aside after a failure, open until the server has answered on it
  std::vector<FakeEvent> releases_due_;  // what calls of unknown fate pressed, not yet released
};

// The root window of screen `number` of the connection's display, or 0.
std::uint32_t root_of_screen(const XcbLibrary& xcb, XcbConnection* connection, int number);

}  // namespace ondrel::linux::x11
