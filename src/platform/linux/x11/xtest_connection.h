#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>
#include <span>
#include <string>

#include "devices/outcome.h"
#include "platform/linux/x11/fake_events.h"
#include "platform/linux/x11/library.h"
#include "platform/linux/x11/readiness.h"

namespace ondrel::linux::x11 {

enum class Delivery {
  delivered,  // the server has processed every event
  refused,    // the server answered with an error
  timed_out,  // the server did not answer in time: the events may still land
  lost,       // the connection broke: the events may or may not have landed
};

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }  // libxcb allocates replies with malloc
};

// A request's reply, when the delivery before it is `delivered`.
struct Answer {
  Delivery delivery;
  std::unique_ptr<void, FreeReply> reply;
};

// A core request with a reply about one window: xcb_query_pointer, xcb_get_geometry.
using WindowQuery = XcbCookie (*)(XcbConnection* connection, std::uint32_t window);

// A connection of one device's own to an X display whose server has XTEST.
// It belongs to the process that opened it: a forked child's copy is let go
// without touching the parent's connection.
class XtestConnection {
 public:
  XtestConnection() = default;
  XtestConnection(XtestConnection&& other) noexcept;
  XtestConnection& operator=(XtestConnection&& other) noexcept;
  ~XtestConnection();

  // Connects to `display` by `deadline`, whatever the server (or the name
  // server) does; otherwise the reason as a short clause: the server cannot
  // be reached, refuses us, does not answer or has no XTEST.
  static Expected<XtestConnection> open(const XcbLibrary& xcb, const std::string& display, Deadline deadline);

  [[nodiscard]] bool is_open() const { return connection_ != nullptr; }
  // Open, but by the process this one was forked from.
  [[nodiscard]] bool is_inherited() const;

  // Sends `events` and waits for a round trip, so that once this says
  // delivered the server has processed them: what another client sees next
  // already includes them. Writing and waiting both end by `deadline`.
  Delivery deliver(std::span<const FakeEvent> events, Deadline deadline);

  // Sends `events`, then `query` about `window` as the round trip, and waits
  // for its reply by `deadline`: the reply shows the state after the events.
  Answer deliver_then_ask(std::span<const FakeEvent> events, WindowQuery query, std::uint32_t window,
                          Deadline deadline);

  // Waits by `deadline` for the reply to a request just queued on
  // raw_connection(), whose cookie is `cookie`.
  Answer answer(XcbCookie cookie, Deadline deadline);

  // The size that the latest ConfigureNotify about `window` gave, once;
  // reads what has arrived and waits for nothing. Only windows whose
  // StructureNotify events this connection selected have any.
  std::optional<std::pair<std::uint16_t, std::uint16_t>> take_new_size(std::uint32_t window);

  // Flushes what is queued and waits for the reply to the request numbered
  // `sequence` by `deadline`: delivered with the reply, refused with an error.
  Answer reply_to(unsigned int sequence, Deadline deadline);

  // Writes a few `events` (at most kRequestsPerWrite) and a round trip only
  // if the socket has room now, behind whatever is already on its way, and
  // waits for nothing; whether they were written.
  bool send_at_once(std::span<const FakeEvent> events);
  // Whether the server has answered the last round trip (so it has acted on
  // everything before it), or the connection is gone; waits for nothing.
  bool has_settled();

  // Requests queued between two writes: their bytes stay far below the room
  // a writable socket has.
  static constexpr std::size_t kRequestsPerWrite = 8;

  // Writes what libxcb has queued once the socket has room, by `deadline`.
  bool flush_before(Deadline deadline) { return flushed_before(deadline); }

  // For requests beyond XTEST's on this connection (the keyboard mapping).
  [[nodiscard]] XcbConnection* raw_connection() const { return connection_; }
  [[nodiscard]] const XcbLibrary& library() const { return *xcb_; }

 private:
  XtestConnection(const XcbLibrary& xcb, XcbConnection* connection);
  void release();
  bool answered_before(unsigned int sequence, Deadline deadline);
  Answer answer_before(unsigned int sequence, Deadline deadline);
  bool sent(std::span<const FakeEvent> events, Deadline deadline);
  Delivery round_trip(Deadline deadline);
  bool flushed_before(Deadline deadline);
  Delivery failure() const;
  bool queue_held_an_error();
  void note(const XcbResponse& response);

  const XcbLibrary* xcb_ = nullptr;
  XcbConnection* connection_ = nullptr;
  pid_t owner_ = 0;
  unsigned int last_answer_due_ = 0;

  struct Configured {
    std::uint32_t window;
    std::uint16_t width;
    std::uint16_t height;
  };
  std::optional<Configured> configured_;  // the latest ConfigureNotify, until taken
};

}  // namespace ondrel::linux::x11
