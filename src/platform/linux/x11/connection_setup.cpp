#include "platform/linux/x11/connection_setup.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>

#include <future>
#include <optional>
#include <system_error>
#include <thread>

namespace ondrel::linux::x11 {
namespace {

// libxcb's setup (xcb_connect_to_fd) writes the request and then waits for
// the answer in poll() without a timeout; nothing in its interface bounds
// that wait. So the setup runs in a thread of its own that this call joins
// before it returns: if the deadline passes first, shutting down our socket
// ends the thread's wait at once (libxcb reads end-of-stream and gives up),
// so no thread, descriptor or half-made connection outlives the call, and
// the server keeps no connection of ours. The thread gets a descriptor of
// its own (a dup), which libxcb closes on failure; ours stays open until
// after the join, so the shutdown always reaches this socket and never a
// descriptor number that was meanwhile reused.
class SetupThread {
 public:
  SetupThread(const XcbLibrary& xcb, int fd, XcbAuthInfo* auth) {
    // Signals stay with the calling thread (Python's own handling among
    // them), and a SIGPIPE from libxcb's write ends with this thread.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
      thread_ = std::thread([this, &xcb, fd, auth] { done_.set_value(xcb.connect_to_fd(fd, auth)); });
    } catch (const std::system_error&) {
      close(fd);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  }
  SetupThread(const SetupThread&) = delete;
  SetupThread& operator=(const SetupThread&) = delete;
  ~SetupThread() {
    if (thread_.joinable()) thread_.join();  // finish() has joined it on every path that starts it
  }

  [[nodiscard]] bool started() const { return thread_.joinable(); }

  // The connection, or nullopt when the deadline passed first (after the
  // thread ended; its connection, if any, is released).
  std::optional<XcbConnection*> finish(const XcbLibrary& xcb, int our_fd, Deadline deadline) {
    std::future<XcbConnection*> result = done_.get_future();
    const bool in_time = result.wait_until(deadline) == std::future_status::ready;
    if (!in_time) shutdown(our_fd, SHUT_RDWR);
    thread_.join();
    XcbConnection* connection = result.get();
    if (in_time) return connection;
    xcb.disconnect(connection);
    return std::nullopt;
  }

 private:
  std::promise<XcbConnection*> done_;
  std::thread thread_;
};

}  // namespace

Expected<XcbConnection*> set_up_connection(const XcbLibrary& xcb, const DisplayAddress& display,
                                           DisplaySocket socket, Deadline deadline) {
  std::optional<Cookie> cookie = find_cookie(socket.authority, display.number);
  XcbAuthInfo auth{};
  if (cookie) auth = {static_cast<int>(cookie->name.size()), cookie->name.data(),
                      static_cast<int>(cookie->data.size()), cookie->data.data()};
  const int handed_over = fcntl(socket.fd.get(), F_DUPFD_CLOEXEC, 0);
  if (handed_over < 0) return Outcome::failure("the display " + display.name + " cannot be reached (no descriptor left)");
  SetupThread setup(xcb, handed_over, cookie ? &auth : nullptr);
  if (!setup.started())
    return Outcome::failure("the display " + display.name + " cannot be reached (no thread for the setup)");
  const std::optional<XcbConnection*> connection = setup.finish(xcb, socket.fd.get(), deadline);
  if (!connection) return Outcome::failure(no_answer_text(display.name));
  if (xcb.connection_has_error(*connection) != 0) {
    xcb.disconnect(*connection);  // nothing for libxcb's own error connection
    return Outcome::failure("the display " + display.name + " refused the connection");
  }
  return *connection;
}

}  // namespace ondrel::linux::x11
