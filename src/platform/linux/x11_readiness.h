#pragma once

#include <chrono>

namespace ondrel::x11 {

using Deadline = std::chrono::steady_clock::time_point;

// Waits until `fd` has something to read (data, end of stream or an error)
// and says whether it has; false once `deadline` has passed. Signals do not
// shorten the wait.
bool readable_before(int fd, Deadline deadline);

}  // namespace ondrel::x11
