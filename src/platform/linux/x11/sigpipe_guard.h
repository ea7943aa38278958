#pragma once

#include <signal.h>

namespace ondrel::linux::x11 {

// libxcb writes to its socket without MSG_NOSIGNAL, so a write to a server
// that has gone away raises SIGPIPE, whose default action ends the process.
// While a guard lives, SIGPIPE is blocked in the calling thread; one that
// our writes raised is consumed when the guard ends, and the thread's mask
// is restored. The application's handler and a SIGPIPE that was already
// pending are left alone.
class SigpipeGuard {
 public:
  SigpipeGuard();
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;
  ~SigpipeGuard();

 private:
  sigset_t previous_mask_;
  bool was_pending_;
};

}  // namespace ondrel::linux::x11
