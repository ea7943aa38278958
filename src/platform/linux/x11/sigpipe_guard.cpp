#include "platform/linux/x11/sigpipe_guard.h"

#include <pthread.h>

#include <ctime>

namespace ondrel::linux::x11 {
namespace {

sigset_t only_sigpipe() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGPIPE);
  return set;
}

bool sigpipe_pending() {
  sigset_t pending;
  sigemptyset(&pending);
  sigpending(&pending);
  return sigismember(&pending, SIGPIPE) == 1;
}

}  // namespace

SigpipeGuard::SigpipeGuard() {
  const sigset_t sigpipe = only_sigpipe();
  pthread_sigmask(SIG_BLOCK, &sigpipe, &previous_mask_);
  was_pending_ = sigpipe_pending();
}

SigpipeGuard::~SigpipeGuard() {
  if (!was_pending_ && sigpipe_pending()) {
    const sigset_t sigpipe = only_sigpipe();
    const timespec at_once{};
    sigtimedwait(&sigpipe, nullptr, &at_once);
  }
  pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
}

}  // namespace ondrel::linux::x11
