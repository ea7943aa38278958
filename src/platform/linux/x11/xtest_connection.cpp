#include "platform/linux/x11/xtest_connection.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/linux/x11/connection_setup.h"
#include "platform/linux/x11/display_socket.h"
#include "platform/linux/x11/xtest_requests.h"

namespace ondrel::linux::x11 {
namespace {

std::optional<DisplayAddress> parse(const XcbLibrary& xcb, const std::string& display) {
  char* host = nullptr;
  int number = 0;
  int screen = 0;  // any screen will do: fake input goes where the pointer is
  if (xcb.parse_display(display.c_str(), &host, &number, &screen) == 0) return std::nullopt;
  DisplayAddress address{display, host, number};
  std::free(host);  // allocated by libxcb with malloc
  return address;
}

}  // namespace

XtestConnection::XtestConnection(const XcbLibrary& xcb, XcbConnection* connection)
    : xcb_(&xcb), connection_(connection), owner_(getpid()) {}

XtestConnection::XtestConnection(XtestConnection&& other) noexcept
    : xcb_(other.xcb_),
      connection_(std::exchange(other.connection_, nullptr)),
      owner_(other.owner_),
      last_answer_due_(other.last_answer_due_),
      configured_(other.configured_) {}

XtestConnection& XtestConnection::operator=(XtestConnection&& other) noexcept {
  if (this != &other) {
    release();
    xcb_ = other.xcb_;
    connection_ = std::exchange(other.connection_, nullptr);
    owner_ = other.owner_;
    last_answer_due_ = other.last_answer_due_;
    configured_ = other.configured_;
  }
  return *this;
}

XtestConnection::~XtestConnection() { release(); }

bool XtestConnection::is_inherited() const { return connection_ != nullptr && owner_ != getpid(); }

// Disconnecting shuts the socket down and closes it; it never writes or
// waits. A forked child shares the socket with its parent, where a shutdown
// would cut the parent's connection: there the child's descriptor is first
// replaced by an unconnected socket, so that disconnecting frees the child's
// memory and touches nothing else. Should even that socket be refused, the
// child keeps the connection's memory and closes only its descriptor.
void XtestConnection::release() {
  if (connection_ == nullptr) return;
  XcbConnection* connection = std::exchange(connection_, nullptr);
  if (owner_ != getpid()) {
    const int fd = xcb_->get_file_descriptor(connection);
    const int stand_in = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (stand_in < 0 || dup3(stand_in, fd, O_CLOEXEC) < 0) {
      if (stand_in >= 0) close(stand_in);
      close(fd);
      return;
    }
    close(stand_in);
  }
  xcb_->disconnect(connection);
}

Expected<XtestConnection> XtestConnection::open(const XcbLibrary& xcb, const std::string& display,
                                                Deadline deadline) {
  const std::optional<DisplayAddress> address = parse(xcb, display);
  if (!address) return Outcome::failure("DISPLAY '" + display + "' does not name a display");
  Expected<DisplaySocket> socket = connect_display_socket(*address, deadline);
  if (!socket.ok()) return socket.outcome();
  const Expected<XcbConnection*> set_up = set_up_connection(xcb, *address, socket.take(), deadline);
  if (!set_up.ok()) return set_up.outcome();
  XtestConnection connection(xcb, set_up.value());
  // The opcode must have come before a request of XTEST's is framed: libxcb
  // would wait for it without a deadline.
  xcb.prefetch_extension_data(connection.connection_, &xtest_extension());
  if (connection.round_trip(deadline) != Delivery::delivered) return Outcome::failure(no_answer_text(display));
  const XcbQueryExtensionReply* xtest = xcb.get_extension_data(connection.connection_, &xtest_extension());
  if (xtest == nullptr || xtest->present == 0) return Outcome::failure("the display " + display + " has no XTEST extension");
  const XcbCookie version = send_xtest_get_version(xcb, connection.connection_);
  if (!connection.flushed_before(deadline) || !connection.answered_before(version.sequence, deadline))
    return Outcome::failure(no_answer_text(display));
  return connection;
}

bool XtestConnection::sent(std::span<const FakeEvent> events, Deadline deadline) {
  for (std::size_t first = 0; first < events.size(); first += kRequestsPerWrite) {
    for (const FakeEvent& event : events.subspan(first, std::min(kRequestsPerWrite, events.size() - first)))
      send_xtest_fake_input(*xcb_, connection_, event);
    if (!flushed_before(deadline)) return false;
  }
  return true;
}

Delivery XtestConnection::deliver(std::span<const FakeEvent> events, Deadline deadline) {
  if (!sent(events, deadline)) return failure();
  const Delivery delivery = round_trip(deadline);
  if (delivery != Delivery::delivered) return delivery;
  return queue_held_an_error() ? Delivery::refused : Delivery::delivered;
}

Answer XtestConnection::deliver_then_ask(std::span<const FakeEvent> events, WindowQuery query, std::uint32_t window,
                                         Deadline deadline) {
  if (!sent(events, deadline)) return {failure(), nullptr};
  const XcbCookie cookie = query(connection_, window);
  last_answer_due_ = cookie.sequence;
  if (!flushed_before(deadline)) return {failure(), nullptr};
  Answer answer = answer_before(cookie.sequence, deadline);
  if (answer.delivery == Delivery::delivered && queue_held_an_error()) return {Delivery::refused, nullptr};
  return answer;
}

Answer XtestConnection::reply_to(unsigned int sequence, Deadline deadline) {
  last_answer_due_ = sequence;
  if (!flushed_before(deadline)) return {failure(), nullptr};
  return answer_before(sequence, deadline);
}

Answer XtestConnection::answer(XcbCookie cookie, Deadline deadline) {
  last_answer_due_ = cookie.sequence;
  if (!flushed_before(deadline)) return {failure(), nullptr};
  Answer answer = answer_before(cookie.sequence, deadline);
  if (answer.delivery == Delivery::delivered && queue_held_an_error()) return {Delivery::refused, nullptr};
  return answer;
}

bool XtestConnection::send_at_once(std::span<const FakeEvent> events) {
  if (events.size() > kRequestsPerWrite || xcb_->connection_has_error(connection_) != 0) return false;
  if (!writable_before(xcb_->get_file_descriptor(connection_), std::chrono::steady_clock::now())) return false;
  for (const FakeEvent& event : events) send_xtest_fake_input(*xcb_, connection_, event);
  last_answer_due_ = xcb_->get_input_focus(connection_).sequence;
  return xcb_->flush(connection_) > 0;
}

bool XtestConnection::has_settled() {
  void* reply = nullptr;
  XcbResponse* error = nullptr;
  const bool answered = xcb_->poll_for_reply(connection_, last_answer_due_, &reply, &error) != 0;
  std::free(reply);
  std::free(error);
  return answered || xcb_->connection_has_error(connection_) != 0;
}

// libxcb writes only at a flush (or when its 16 KB buffer overflows, which
// our batches never make it do), and before writing it waits in poll()
// without a timeout for room in the socket. Room is therefore waited for
// here, by the deadline; once the socket has room, the kernel takes a write
// of the few hundred bytes we queue at a time whole (a Unix socket then takes
// one buffer's worth of half its send buffer, TCP at least a segment), so
// libxcb never goes back to its poll() for the rest.
bool XtestConnection::flushed_before(Deadline deadline) {
  return writable_before(xcb_->get_file_descriptor(connection_), deadline) && xcb_->flush(connection_) > 0;
}

Delivery XtestConnection::failure() const {
  return xcb_->connection_has_error(connection_) != 0 ? Delivery::lost : Delivery::timed_out;
}

// Whether a reply (not an error) to `sequence` came by `deadline`.
bool XtestConnection::answered_before(unsigned int sequence, Deadline deadline) {
  return answer_before(sequence, deadline).delivery == Delivery::delivered;
}

// The reply to `sequence` by `deadline`; refused when the server answered
// with an error. The wait polls the socket so that it can end at
// `deadline`, which xcb_wait_for_reply cannot.
Answer XtestConnection::answer_before(unsigned int sequence, Deadline deadline) {
  const int fd = xcb_->get_file_descriptor(connection_);
  for (;;) {
    void* reply = nullptr;
    XcbResponse* error = nullptr;
    if (xcb_->poll_for_reply(connection_, sequence, &reply, &error) != 0) {
      std::free(error);
      std::unique_ptr<void, FreeReply> owned(reply);
      const Delivery delivery = owned ? Delivery::delivered : Delivery::refused;
      return {delivery, std::move(owned)};
    }
    if (xcb_->connection_has_error(connection_) != 0 || !readable_before(fd, deadline)) return {failure(), nullptr};
  }
}

// GetInputFocus is the cheapest request with a reply; its reply comes after
// the server has processed everything sent before it.
Delivery XtestConnection::round_trip(Deadline deadline) {
  const XcbCookie cookie = xcb_->get_input_focus(connection_);
  last_answer_due_ = cookie.sequence;
  if (flushed_before(deadline) && answered_before(cookie.sequence, deadline)) return Delivery::delivered;
  return failure();
}

// Errors of our unchecked requests wait in the event queue, as would any
// event sent to every client (MappingNotify) or selected (ConfigureNotify,
// noted); all are taken out, so the queue never grows.
bool XtestConnection::queue_held_an_error() {
  bool error = false;
  while (XcbResponse* response = xcb_->poll_for_queued_event(connection_)) {
    error = error || response->response_type == 0;
    note(*response);
    std::free(response);
  }
  return error;
}

void XtestConnection::note(const XcbResponse& response) {
  if ((response.response_type & 0x7f) != kConfigureNotify) return;  // the top bit marks a SendEvent
  const auto& configure = reinterpret_cast<const XcbConfigureNotifyEvent&>(response);
  configured_ = Configured{configure.window, configure.width, configure.height};
}

std::optional<std::pair<std::uint16_t, std::uint16_t>> XtestConnection::take_new_size(std::uint32_t window) {
  while (XcbResponse* response = xcb_->poll_for_event(connection_)) {
    note(*response);
    std::free(response);
  }
  if (!configured_ || configured_->window != window) return std::nullopt;
  const Configured configured = *std::exchange(configured_, std::nullopt);
  return std::pair{configured.width, configured.height};
}

}  // namespace ondrel::linux::x11
