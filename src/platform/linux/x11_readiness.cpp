#include "platform/linux/x11_readiness.h"

#include <poll.h>

#include <cerrno>

namespace ondrel::x11 {

bool readable_before(int fd, Deadline deadline) {
  pollfd ready{fd, POLLIN, 0};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    const int result = poll(&ready, 1, static_cast<int>(left.count()));
    if (result > 0) return true;
    if (result < 0 && errno != EINTR) return true;  // let the reader meet the error
  }
}

}  // namespace ondrel::x11
