#include "devices/pause.h"

#ifdef _WIN32
#include <windows.h>
#include <timeapi.h>
#else
#include <cerrno>
#include <ctime>
#endif

namespace ondrel {

#ifdef _WIN32

namespace {

// Plain Sleep(5) lasts a whole scheduler tick (about 15.6 ms), so prefer a
// high-resolution waitable timer; systems without one get Sleep with the
// timer resolution raised for the duration of the pause. Either way the
// wait repeats until the performance counter has passed the deadline, since
// a timer may fire a little early.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

LONGLONG counter_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG counter_frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// Remaining time in 100 ns units, rounded up.
LONGLONG remaining_100ns(LONGLONG deadline, LONGLONG frequency) {
  const LONGLONG left = deadline - counter_now();
  if (left <= 0) return 0;
  // Split so that long pauses cannot overflow the multiplication.
  const LONGLONG whole_seconds = left / frequency;
  const LONGLONG rest = left % frequency;
  return whole_seconds * 10000000 + (rest * 10000000 + frequency - 1) / frequency;
}

bool wait_with_timer(HANDLE timer, LONGLONG duration_100ns) {
  LARGE_INTEGER due;
  due.QuadPart = -duration_100ns;  // negative: relative to now
  return SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) &&
         WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0;
}

void wait_with_sleep(LONGLONG duration_100ns) {
  timeBeginPeriod(1);
  Sleep(static_cast<DWORD>((duration_100ns + 9999) / 10000));
  timeEndPeriod(1);
}

HANDLE create_timer(PauseWaiter waiter) {
  if (waiter != PauseWaiter::high_resolution_timer) return nullptr;
  return CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
}

}  // namespace

void pause_ms(unsigned milliseconds) { pause_ms_with(milliseconds, PauseWaiter::high_resolution_timer); }

void pause_ms_with(unsigned milliseconds, PauseWaiter waiter) {
  if (milliseconds == 0) return;
  const LONGLONG frequency = counter_frequency();
  const LONGLONG deadline = counter_now() + static_cast<LONGLONG>(milliseconds) * frequency / 1000 + 1;
  HANDLE timer = create_timer(waiter);
  for (LONGLONG left = remaining_100ns(deadline, frequency); left > 0;
       left = remaining_100ns(deadline, frequency)) {
    if (timer == nullptr || !wait_with_timer(timer, left)) wait_with_sleep(left);
  }
  if (timer != nullptr) CloseHandle(timer);
}

#else

void pause_ms(unsigned milliseconds) {
  if (milliseconds == 0) return;
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
  deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  // An absolute deadline makes a signal-interrupted sleep resume without
  // losing or adding time.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

#endif

}  // namespace ondrel
