#pragma once

namespace ondrel {

// Blocks the calling thread for at least `milliseconds`.
void pause_ms(unsigned milliseconds);

#ifdef _WIN32
// How a Windows pause waits. pause_ms asks for the high-resolution timer and
// falls back to Sleep where the system has no such timer; naming the waiter
// lets tests and benchmarks run the fallback on systems that have one.
enum class PauseWaiter { high_resolution_timer, sleep };
void pause_ms_with(unsigned milliseconds, PauseWaiter waiter);
#endif

}  // namespace ondrel
