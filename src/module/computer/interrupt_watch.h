#pragma once

#include <cstdint>

namespace ondrel::py {

// How many SIGINTs (Ctrl-C) the process has received while a Computer call
// was running: read without the interpreter's lock, so that a call asks
// whether to stop without waiting for another thread that holds the lock.
std::uint64_t interrupts_seen();

// While at least one is alive, a SIGINT handler of ours runs before the one
// that was installed (Python's, which raises KeyboardInterrupt later, when
// the call takes the lock back), and counts the signal. Made and destroyed
// with the interpreter's lock held, as Python's own signal.signal() runs, so
// that the two never change the handler at once. Where SIGINT is ignored or
// left to its default, nothing is installed: Ctrl-C does what it did.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;
};

}  // namespace ondrel::py
