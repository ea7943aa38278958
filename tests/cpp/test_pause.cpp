#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "devices/pause.h"

#ifndef _WIN32
#include <sys/time.h>

#include <csignal>
#endif
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace ondrel {
namespace {

constexpr PauseWaiter kEveryWaiter[] = {
    PauseWaiter::sleep_then_spin,
    PauseWaiter::sleep_to_deadline,
#ifdef _WIN32
    PauseWaiter::sleep_then_spin_without_high_resolution_timer,
#endif
};

// Keeps every processor busy while alive, so that the pause competes for
// one with runnable threads.
class ProcessorLoad {
 public:
  ProcessorLoad() {
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
      threads_.emplace_back([this] {
        while (!stop_.load(std::memory_order_relaxed)) {
        }
      });
  }
  ~ProcessorLoad() {
    stop_ = true;
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

#ifndef _WIN32
std::atomic<int> signals_caught{0};

// Interrupts the process with SIGALRM every 100 us while alive, without
// SA_RESTART, so that every sleep in between ends with EINTR.
class SignalStorm {
 public:
  SignalStorm() {
    signals_caught = 0;
    struct sigaction action {};
    action.sa_handler = [](int) { signals_caught.fetch_add(1, std::memory_order_relaxed); };
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, &previous_action_);
    set_interval(100);
  }
  ~SignalStorm() {
    set_interval(0);
    sigaction(SIGALRM, &previous_action_, nullptr);
  }

 private:
  static void set_interval(long microseconds) {
    itimerval timer{};
    timer.it_interval.tv_usec = microseconds;
    timer.it_value.tv_usec = microseconds;
    setitimer(ITIMER_REAL, &timer, nullptr);
  }

  struct sigaction previous_action_ {};
};
#endif

using WaiterAndLength = std::tuple<PauseWaiter, unsigned>;

class PauseTest : public ::testing::TestWithParam<WaiterAndLength> {
 protected:
  static void expect_each_lasts_its_time() {
    const auto [waiter, ms] = GetParam();
    for (int i = 0; i < 5; ++i) {
      const auto start = std::chrono::steady_clock::now();
      pause_ms_with(ms, waiter);
      EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms)) << "pause " << i;
    }
  }
};

TEST_P(PauseTest, LastsAtLeastItsTime) { expect_each_lasts_its_time(); }

TEST_P(PauseTest, LastsAtLeastItsTimeUnderLoad) {
  const ProcessorLoad load;
  expect_each_lasts_its_time();
}

#ifndef _WIN32
TEST_P(PauseTest, LastsAtLeastItsTimeWhileSignalsInterruptIt) {
  {
    const SignalStorm storm;
    expect_each_lasts_its_time();
  }
  if (std::get<1>(GetParam()) > 1) {
    EXPECT_GT(signals_caught.load(), 0) << "no signal arrived during the pauses";
  }
}
#endif

std::string waiter_name(PauseWaiter waiter) {
  switch (waiter) {
    case PauseWaiter::sleep_then_spin:
      return "SleepThenSpin";
    case PauseWaiter::sleep_to_deadline:
      return "SleepToDeadline";
#ifdef _WIN32
    case PauseWaiter::sleep_then_spin_without_high_resolution_timer:
      return "SleepThenSpinWithoutHighResolutionTimer";
#endif
  }
  return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(WaitersAndLengths, PauseTest,
                         ::testing::Combine(::testing::ValuesIn(kEveryWaiter),
                                            ::testing::Values(0u, 1u, 2u, 5u, 10u, 16u, 50u)),
                         [](const ::testing::TestParamInfo<WaiterAndLength>& info) {
                           return waiter_name(std::get<0>(info.param)) + "_" +
                                  std::to_string(std::get<1>(info.param)) + "ms";
                         });

TEST(PauseWaiterScope, ChoosesTheCallingThreadsWaiterUntilItEnds) {
  EXPECT_EQ(current_pause_waiter(), PauseWaiter::sleep_then_spin);
  {
    const PauseWaiterScope outer(PauseWaiter::sleep_to_deadline);
    EXPECT_EQ(current_pause_waiter(), PauseWaiter::sleep_to_deadline);
    std::thread([] { EXPECT_EQ(current_pause_waiter(), PauseWaiter::sleep_then_spin) << "other thread"; }).join();
    {
      const PauseWaiterScope inner(PauseWaiter::sleep_then_spin);
      EXPECT_EQ(current_pause_waiter(), PauseWaiter::sleep_then_spin);
    }
    EXPECT_EQ(current_pause_waiter(), PauseWaiter::sleep_to_deadline);
  }
  EXPECT_EQ(current_pause_waiter(), PauseWaiter::sleep_then_spin);
}

#ifdef __linux__
// A pause lowers the thread's timer slack for its sleep only: whatever the
// thread had set (1 ns, the lowest, included) is what it has afterwards.
TEST(PauseTimerSlack, IsTheThreadsOwnAgainAfterEveryPause) {
  const int original = prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
  for (const unsigned long slack : {1UL, 2UL, 50000UL, 1234567UL}) {
    ASSERT_EQ(prctl(PR_SET_TIMERSLACK, slack, 0UL, 0UL, 0UL), 0);
    for (const PauseWaiter waiter : kEveryWaiter) {
      pause_ms_with(2, waiter);
      EXPECT_EQ(prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL), static_cast<int>(slack))
          << "slack " << slack << ", " << waiter_name(waiter);
    }
  }
  prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(original), 0UL, 0UL, 0UL);
}
#endif

}  // namespace
}  // namespace ondrel
