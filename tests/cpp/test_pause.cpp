#include <gtest/gtest.h>

#include <chrono>

#include "devices/pause.h"

namespace ondrel {
namespace {

class PauseTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(PauseTest, LastsAtLeastItsTime) {
  const unsigned ms = GetParam();
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    pause_ms(ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms));
  }
}

INSTANTIATE_TEST_SUITE_P(Durations, PauseTest, ::testing::Values(0u, 1u, 5u, 10u, 50u));

}  // namespace
}  // namespace ondrel
