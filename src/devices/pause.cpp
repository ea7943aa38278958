#include "devices/pause.h"

namespace ondrel {

namespace {

thread_local PauseWaiter thread_waiter = PauseWaiter::sleep_then_spin;

}  // namespace

void pause_ms(unsigned milliseconds) { pause_ms_with(milliseconds, thread_waiter); }

PauseWaiter current_pause_waiter() { return thread_waiter; }

PauseWaiterScope::PauseWaiterScope(PauseWaiter waiter) : previous_(thread_waiter) { thread_waiter = waiter; }

PauseWaiterScope::~PauseWaiterScope() { thread_waiter = previous_; }

}  // namespace ondrel
