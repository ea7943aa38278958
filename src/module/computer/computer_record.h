#pragma once

#include <memory>
#include <mutex>

#include "computer/action_reply.h"
#include "computer/computer.h"
#include "computer/coordinates.h"
#include "devices/stop_request.h"
#include "module/python.h"

namespace ondrel::py {

// What a Python Computer owns. The mutex lets one call at a time drive the
// computer; a second thread's call waits for it.
struct ComputerRecord {
  std::unique_ptr<computer::Computer> computer;
  computer::Scaling scaling;
  std::unique_ptr<std::mutex> mutex = std::make_unique<std::mutex>();
};

// The stop check of a call running without the interpreter's lock: takes
// the lock for a moment to run the signal handlers (Ctrl-C raises
// KeyboardInterrupt there), and asks to stop once one raised.
bool signal_raised_taking_lock();

inline bool failed(const Outcome& outcome) { return !outcome.ok(); }
template <class T>
bool failed(const Expected<T>& expected) {
  return !expected.ok();
}
inline bool failed(const computer::ActionReply& reply) { return !reply.success; }

// Runs `operation(computer)`, which touches no Python, with the interpreter's
// lock released (other Python threads run meanwhile) and the record's mutex
// held, taken after the lock is released so that two callers cannot block
// each other. A failed or stopped operation lets go of what it pressed.
template <class Operation>
auto run_unlocked(ComputerRecord& record, Operation&& operation) {
  struct Unlocked {
    PyThreadState* saved = PyEval_SaveThread();
    ~Unlocked() { PyEval_RestoreThread(saved); }
  } const unlocked;
  const std::lock_guard one_call(*record.mutex);
  const StopCheckScope stop_on_signal(signal_raised_taking_lock);
  computer::Computer& computer = *record.computer;
  const computer::Computer::Held before = computer.held();
  auto result = operation(computer);
  if (failed(result)) computer.release_pressed_since(before);
  return result;
}

}  // namespace ondrel::py
