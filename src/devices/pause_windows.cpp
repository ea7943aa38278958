#ifdef _WIN32

#include <windows.h>
#include <timeapi.h>

#include "devices/pause.h"
#include "devices/processor_relax.h"

namespace ondrel {

namespace {

// Plain Sleep(5) lasts a whole scheduler tick (about 15.6 ms), so the sleep
// of a pause is a high-resolution waitable timer; systems without one get
// Sleep with the timer resolution raised for the duration of the sleep.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// How long before the deadline the sleep ends, the rest being spun on the
// performance counter. The high-resolution timer fires on a grid of about
// 0.5 ms on Windows 10 and 11, plus the wake-up latency; under Wine (8.0)
// its lateness has a median of 100 to 500 us and a 99th percentile of 0.3
// to 0.5 ms on a quiet machine (bench_pause). Beyond the lateness every
// microsecond of margin is spun.
constexpr LONGLONG kSpinMarginMicroseconds = 1000;

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

// Null where the system has no high-resolution timer, or where `waiter`
// asks to do without.
HANDLE create_timer(PauseWaiter waiter) {
  if (waiter == PauseWaiter::sleep_then_spin_without_high_resolution_timer) return nullptr;
  return CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
}

// Repeats until the counter has passed `wake`, since a timer may fire a
// little early.
void sleep_until(LONGLONG wake, LONGLONG frequency, PauseWaiter waiter) {
  HANDLE timer = create_timer(waiter);
  for (LONGLONG left = remaining_100ns(wake, frequency); left > 0; left = remaining_100ns(wake, frequency)) {
    if (timer == nullptr || !wait_with_timer(timer, left)) wait_with_sleep(left);
  }
  if (timer != nullptr) CloseHandle(timer);
}

void spin_until(LONGLONG deadline) {
  while (counter_now() < deadline) relax_processor();
}

}  // namespace

void pause_ms_with(unsigned milliseconds, PauseWaiter waiter) {
  if (milliseconds == 0) return;
  const LONGLONG frequency = counter_frequency();
  // One count more, as the division rounds down.
  const LONGLONG deadline = counter_now() + static_cast<LONGLONG>(milliseconds) * frequency / 1000 + 1;
  const LONGLONG margin = waiter == PauseWaiter::sleep_to_deadline ? 0 : kSpinMarginMicroseconds * frequency / 1000000;
  sleep_until(deadline - margin, frequency, waiter);
  spin_until(deadline);
}

}  // namespace ondrel

#endif
