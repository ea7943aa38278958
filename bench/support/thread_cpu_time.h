#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace ondrel::bench {

// Processor time the calling thread has used so far, in nanoseconds. On
// Windows it advances in scheduler ticks, so only sums over many pauses
// mean anything there.
inline std::int64_t thread_cpu_time_ns() {
#ifdef _WIN32
  FILETIME creation, exit, kernel, user;
  GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return (ticks(kernel) + ticks(user)) * 100;
#else
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
#endif
}

}  // namespace ondrel::bench
