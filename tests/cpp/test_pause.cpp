#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "devices/pause.h"

namespace ondrel {
namespace {

class PauseTest : public ::testing::TestWithParam<unsigned> {
 protected:
  static void expect_each_lasts_its_time(const std::function<void(unsigned)>& pause) {
    const unsigned ms = GetParam();
    for (int i = 0; i < 5; ++i) {
      const auto start = std::chrono::steady_clock::now();
      pause(ms);
      EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms)) << "pause " << i;
    }
  }
};

TEST_P(PauseTest, LastsAtLeastItsTime) { expect_each_lasts_its_time(pause_ms); }

#ifdef _WIN32
// The fallback only runs on systems without a high-resolution timer
// otherwise: run both ways on their own.
TEST_P(PauseTest, EachWindowsWaiterLastsAtLeastItsTime) {
  for (const PauseWaiter waiter : {PauseWaiter::high_resolution_timer, PauseWaiter::sleep})
    expect_each_lasts_its_time([waiter](unsigned ms) { pause_ms_with(ms, waiter); });
}
#endif

INSTANTIATE_TEST_SUITE_P(Durations, PauseTest, ::testing::Values(0u, 1u, 2u, 5u, 10u, 16u, 50u));

}  // namespace
}  // namespace ondrel
