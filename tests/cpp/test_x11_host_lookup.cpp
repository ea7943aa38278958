#ifdef __linux__

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <semaphore>

#include "platform/linux/x11/host_lookup.h"

namespace ondrel::linux::x11 {
namespace {

using namespace std::chrono_literals;

// Stand-in resolvers: each answers for 127.0.0.1 through the real resolver,
// which needs no network for a numeric address.
int loopback(const char*, const char* service, const addrinfo* hints, addrinfo** found) {
  return getaddrinfo("127.0.0.1", service, hints, found);
}

int no_such_name(const char*, const char*, const addrinfo*, addrinfo**) { return EAI_NONAME; }

int must_not_be_asked(const char*, const char*, const addrinfo*, addrinfo**) {
  ADD_FAILURE() << "a numeric address went to the resolver";
  return EAI_FAIL;
}

// A silent name server: answers only once the test lets it, after the
// caller's deadline.
std::binary_semaphore let_answer{0}, answered{0};
int silent_until_let(const char* host, const char* service, const addrinfo* hints, addrinfo** found) {
  const bool let = let_answer.try_acquire_for(10s);
  const int status = let ? loopback(host, service, hints, found) : EAI_AGAIN;
  answered.release();
  return status;
}

std::string first_address(const HostAddresses& found) {
  char text[INET6_ADDRSTRLEN] = {};
  const auto* ip = reinterpret_cast<const sockaddr_in*>(found.list->ai_addr);
  return inet_ntop(AF_INET, &ip->sin_addr, text, sizeof text) == nullptr ? "" : text;
}

TEST(X11HostLookup, NamesGoToTheResolverAndNumericAddressesDoNot) {
  const Deadline deadline = patience_from_now();
  const HostAddresses named = look_up_host("display.test", "6000", deadline, loopback);
  ASSERT_EQ(named.outcome, LookupOutcome::found);
  EXPECT_EQ(first_address(named), "127.0.0.1");
  EXPECT_EQ(look_up_host("display.test", "6000", deadline, no_such_name).outcome, LookupOutcome::not_found);
  const HostAddresses numeric = look_up_host("127.0.0.1", "6000", deadline, must_not_be_asked);
  ASSERT_EQ(numeric.outcome, LookupOutcome::found);
  EXPECT_EQ(first_address(numeric), "127.0.0.1");
}

// The answer that comes after the deadline is freed by the lookup's thread
// (the sanitizers' leak check sees it), and the caller has not waited for it.
TEST(X11HostLookup, ASilentResolverIsLeftAtTheDeadline) {
  const auto start = std::chrono::steady_clock::now();
  const HostAddresses found = look_up_host("display.test", "6000", start + 50ms, silent_until_let);
  EXPECT_EQ(found.outcome, LookupOutcome::timed_out);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_FALSE(answered.try_acquire()) << "the lookup waited for the resolver";
  let_answer.release();
  EXPECT_TRUE(answered.try_acquire_for(10s));
}

}  // namespace
}  // namespace ondrel::linux::x11

#endif
