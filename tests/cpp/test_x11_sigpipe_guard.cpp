#ifdef __linux__

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/x11/sigpipe_guard.h"

namespace ondrel::linux::x11 {
namespace {

bool pending(int signal) {
  sigset_t set;
  sigpending(&set);
  return sigismember(&set, signal) == 1;
}

bool blocked(int signal) {
  sigset_t set;
  pthread_sigmask(SIG_BLOCK, nullptr, &set);
  return sigismember(&set, signal) == 1;
}

// SIGPIPE at its default action (which would end this test program) for
// the life of the fixture.
class SigpipeGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &default_action, &previous_);
  }
  void TearDown() override { sigaction(SIGPIPE, &previous_, nullptr); }

  // Writes to a socket whose reader is gone, as libxcb may; the errno.
  static int write_to_closed_socket() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return -1;
    close(ends[1]);
    const char byte = 0;
    const int error = write(ends[0], &byte, 1) < 0 ? errno : 0;
    close(ends[0]);
    return error;
  }

 private:
  struct sigaction previous_ {};
};

TEST_F(SigpipeGuardTest, AWriteToAClosedSocketFailsWithoutSignalAndLeavesTheMaskAsItWas) {
  {
    const SigpipeGuard guard;
    EXPECT_EQ(write_to_closed_socket(), EPIPE);
  }
  EXPECT_FALSE(pending(SIGPIPE));
  EXPECT_FALSE(blocked(SIGPIPE));
}

TEST_F(SigpipeGuardTest, ASigpipeThatWasPendingBeforeStaysPendingAndBlocked) {
  sigset_t sigpipe;
  sigemptyset(&sigpipe);
  sigaddset(&sigpipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &sigpipe, nullptr);
  pthread_kill(pthread_self(), SIGPIPE);
  {
    const SigpipeGuard guard;
    EXPECT_EQ(write_to_closed_socket(), EPIPE);
  }
  EXPECT_TRUE(pending(SIGPIPE));
  EXPECT_TRUE(blocked(SIGPIPE));
  const timespec at_once{};
  EXPECT_EQ(sigtimedwait(&sigpipe, nullptr, &at_once), SIGPIPE);
  pthread_sigmask(SIG_UNBLOCK, &sigpipe, nullptr);
}

}  // namespace
}  // namespace ondrel::linux::x11

#endif
