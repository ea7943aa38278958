#ifdef __linux__

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "platform/linux/x11/readiness.h"

namespace ondrel::linux::x11 {
namespace {

using namespace std::chrono_literals;

// A socket whose peer reads nothing, as a stopped server: once its buffer is
// full, the wait for room ends at the deadline; once the peer reads, at once.
TEST(X11Readiness, AFullSocketHasNoRoomUntilItsPeerReads) {
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, ends), 0);
  const std::vector<char> block(4096);
  while (send(ends[0], block.data(), block.size(), MSG_DONTWAIT) > 0) {
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(writable_before(ends[0], start + 50ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_FALSE(writable_before(ends[0], start)) << "a passed deadline still asks once";
  std::vector<char> drained(1 << 20);
  while (recv(ends[1], drained.data(), drained.size(), MSG_DONTWAIT) > 0) {
  }
  EXPECT_TRUE(writable_before(ends[0], start));
  EXPECT_FALSE(readable_before(ends[0], start));
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
}  // namespace ondrel::linux::x11

#endif
