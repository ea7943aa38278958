// How far Windows pauses overshoot, for each of the two ways they can wait
// (the high-resolution timer and its Sleep fallback). Under Wine, from the
// cross build that scripts/test makes (with its WINEPREFIX still there):
//   WINEPREFIX=$PWD/build/wineprefix wine build/windows/bench/bench_pause_waiters.exe [repetitions]
#include <cstdio>

#ifdef _WIN32

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "devices/pause.h"

namespace {

double percentile(const std::vector<double>& sorted, double fraction) {
  return sorted[static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1))];
}

void measure(const char* waiter_name, ondrel::PauseWaiter waiter, unsigned milliseconds, int repetitions) {
  std::vector<double> overshoot_us;
  overshoot_us.reserve(static_cast<std::size_t>(repetitions));
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    ondrel::pause_ms_with(milliseconds, waiter);
    const auto elapsed = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start);
    overshoot_us.push_back(elapsed.count() - milliseconds * 1000.0);
  }
  std::sort(overshoot_us.begin(), overshoot_us.end());
  std::printf("%-6s pause %3u ms: overshoot median %7.1f us, p99 %7.1f us, min %7.1f us (%d pauses)\n", waiter_name,
              milliseconds, percentile(overshoot_us, 0.5), percentile(overshoot_us, 0.99), overshoot_us.front(),
              repetitions);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 300;
  if (repetitions < 1) return 2;
  for (unsigned ms : {1u, 5u, 10u, 50u}) {
    const int count = ms == 50 ? std::max(1, repetitions / 3) : repetitions;
    measure("spin", ondrel::PauseWaiter::sleep_then_spin, ms, count);
    measure("timer", ondrel::PauseWaiter::sleep_to_deadline, ms, count);
    measure("Sleep", ondrel::PauseWaiter::sleep_then_spin_without_high_resolution_timer, ms, count);
  }
  return 0;
}

#else

int main() {
  std::puts("bench_pause_waiters measures the Windows pause; bench_pause covers this system");
  return 0;
}

#endif
