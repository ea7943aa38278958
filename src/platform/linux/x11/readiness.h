#pragma once

#include <chrono>
#include <string>

namespace ondrel::linux::x11 {

using Deadline = std::chrono::steady_clock::time_point;

// How long a server may take to answer before it is taken as gone: a stopped
// or wedged server must not hold the caller forever.
inline constexpr std::chrono::milliseconds kServerPatience{2000};

inline Deadline patience_from_now() { return std::chrono::steady_clock::now() + kServerPatience; }

// kServerPatience for messages: "2 s".
inline std::string patience_text() {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kServerPatience).count()) + " s";
}

// Waits until `fd` has something to read (data, end of stream or an error)
// and says whether it has; false once `deadline` has passed. Signals do not
// shorten the wait.
bool readable_before(int fd, Deadline deadline);

// The same for room to write (or an error). libxcb waits for room in poll()
// without a timeout, so this is asked before each of its writes.
bool writable_before(int fd, Deadline deadline);

}  // namespace ondrel::linux::x11
