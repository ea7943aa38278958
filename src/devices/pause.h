#pragma once

namespace ondrel {

// How a pause waits. Every waiter lasts at least the pause; they differ in
// how late they end and in the processor time they spend.
enum class PauseWaiter {
  // Sleeps until shortly before the deadline, then spins on the clock: ends
  // within microseconds of the deadline for a little processor time.
  sleep_then_spin,
  // Sleeps straight to the deadline: ends as late as the system wakes a
  // sleeper (timer slack and wake-up latency, a few hundred microseconds).
  sleep_to_deadline,
#ifdef _WIN32
  // sleep_then_spin as systems without a high-resolution waitable timer
  // run it (Sleep with timeBeginPeriod(1)), selectable on systems that
  // have one so that tests and benchmarks can run it.
  sleep_then_spin_without_high_resolution_timer,
#endif
};

// Blocks the calling thread for at least `milliseconds`, with the calling
// thread's waiter (sleep_then_spin unless a PauseWaiterScope says otherwise).
void pause_ms(unsigned milliseconds);
void pause_ms_with(unsigned milliseconds, PauseWaiter waiter);

// While alive, pause_ms on the constructing thread waits with `waiter`, so
// that benchmarks can run whole device operations with either waiter.
class PauseWaiterScope {
 public:
  explicit PauseWaiterScope(PauseWaiter waiter);
  ~PauseWaiterScope();
  PauseWaiterScope(const PauseWaiterScope&) = delete;
  PauseWaiterScope& operator=(const PauseWaiterScope&) = delete;

 private:
  PauseWaiter previous_;
};

// The waiter pause_ms uses on the calling thread.
PauseWaiter current_pause_waiter();

}  // namespace ondrel
