// How far real pauses overshoot their nominal time.
//   cmake -S . -B build/bench -DONDREL_BUILD_BENCH=ON -DONDREL_BUILD_MODULE=OFF && cmake --build build/bench
//   build/bench/bench/bench_pause [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "devices/pause.h"

namespace {

double percentile(std::vector<double>& sorted, double fraction) {
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1));
  return sorted[index];
}

void measure(unsigned milliseconds, int repetitions) {
  std::vector<double> overshoot_us;
  overshoot_us.reserve(static_cast<std::size_t>(repetitions));
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    ondrel::pause_ms(milliseconds);
    const auto elapsed = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start);
    overshoot_us.push_back(elapsed.count() - milliseconds * 1000.0);
  }
  std::sort(overshoot_us.begin(), overshoot_us.end());
  std::printf("pause %3u ms: overshoot median %7.1f us, p99 %7.1f us, min %7.1f us (%d pauses)\n", milliseconds,
              percentile(overshoot_us, 0.5), percentile(overshoot_us, 0.99), overshoot_us.front(), repetitions);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 300;
  for (unsigned ms : {5u, 10u, 50u}) measure(ms, ms == 50 ? repetitions / 3 : repetitions);
  return 0;
}
