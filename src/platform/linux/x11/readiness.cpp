#include "platform/linux/x11/readiness.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace ondrel::linux::x11 {
namespace {

// A deadline already passed still polls once, without waiting, so that
// "ready now?" is the same question asked with no time left.
bool ready_before(int fd, short events, Deadline deadline) {
  pollfd ready{fd, events, 0};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const auto timeout = std::max<std::chrono::milliseconds::rep>(left.count(), 0);
    const int result = poll(&ready, 1, static_cast<int>(timeout));
    if (result > 0) return true;
    if (result < 0 && errno != EINTR) return true;  // let the reader or writer meet the error
    if (timeout == 0) return false;
  }
}

}  // namespace

bool readable_before(int fd, Deadline deadline) { return ready_before(fd, POLLIN, deadline); }

bool writable_before(int fd, Deadline deadline) { return ready_before(fd, POLLOUT, deadline); }

}  // namespace ondrel::linux::x11
