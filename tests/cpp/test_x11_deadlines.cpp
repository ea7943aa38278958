#ifdef __linux__

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <semaphore>
#include <vector>

#include "platform/linux/x11/host_lookup.h"
#include "platform/linux/x11/readiness.h"

namespace ondrel::linux::x11 {
namespace {

using namespace std::chrono_literals;

// A silent name server: answers (for 127.0.0.1) only once the test lets it,
// after the caller's deadline.
std::binary_semaphore let_answer{0}, answered{0};
int silent_until_let(const char*, const char* service, const addrinfo* hints, addrinfo** found) {
  const int status = let_answer.try_acquire_for(10s) ? getaddrinfo("127.0.0.1", service, hints, found) : EAI_AGAIN;
  answered.release();
  return status;
}

// The answer that comes late is freed by the lookup's thread (the
// sanitizers' leak check sees it); numeric addresses never wait for one.
TEST(X11Deadlines, ASilentResolverIsLeftAtTheDeadline) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(look_up_host("display.test", "6000", start + 50ms, silent_until_let).outcome, LookupOutcome::timed_out);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_FALSE(answered.try_acquire()) << "the lookup waited for the resolver";
  EXPECT_EQ(look_up_host("127.0.0.1", "6000", start, silent_until_let).outcome, LookupOutcome::found);
  let_answer.release();
  EXPECT_TRUE(answered.try_acquire_for(10s));
}

// A socket whose peer reads nothing, as a stopped server: once it is full,
// the wait for room to write ends at the deadline.
TEST(X11Deadlines, AFullSocketHasNoRoomBeforeTheDeadline) {
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, ends), 0);
  const std::vector<char> block(4096);
  while (send(ends[0], block.data(), block.size(), 0) > 0) {
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(writable_before(ends[0], start + 50ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
}  // namespace ondrel::linux::x11

#endif
