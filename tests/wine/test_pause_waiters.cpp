// Both ways a Windows pause can wait, each on its own: the fallback only
// runs on systems without a high-resolution timer otherwise.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>

#include "devices/pause.h"

namespace ondrel {
namespace {

class PauseWaiterTest : public ::testing::TestWithParam<std::tuple<PauseWaiter, unsigned>> {};

TEST_P(PauseWaiterTest, LastsAtLeastItsTime) {
  const auto [waiter, ms] = GetParam();
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    pause_ms_with(ms, waiter);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms)) << "pause " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Waiters, PauseWaiterTest,
                         ::testing::Combine(::testing::Values(PauseWaiter::high_resolution_timer, PauseWaiter::sleep),
                                            ::testing::Values(1u, 2u, 5u, 10u, 16u, 50u)),
                         [](const auto& info) {
                           const bool timer = std::get<0>(info.param) == PauseWaiter::high_resolution_timer;
                           return std::string(timer ? "timer_" : "sleep_") + std::to_string(std::get<1>(info.param)) +
                                  "ms";
                         });

}  // namespace
}  // namespace ondrel
