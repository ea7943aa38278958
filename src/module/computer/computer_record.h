#pragma once

#include <memory>
#include <optional>
#include <type_traits>

#include "computer/action_reply.h"
#include "computer/computer.h"
#include "computer/coordinates.h"
#include "module/computer/call_gate.h"
#include "module/computer/interrupt_watch.h"
#include "module/python.h"
#include "platform/stoppable_pause.h"

namespace ondrel::py {

// What a Python Computer owns. The gate lets one call at a time drive the
// computer; a second thread's call waits for its turn.
struct ComputerRecord {
  std::unique_ptr<computer::Computer> computer;
  computer::Scaling scaling;
  std::unique_ptr<CallGate> gate = std::make_unique<CallGate>();
};

inline bool failed(const Outcome& outcome) { return !outcome.ok(); }
template <class T>
bool failed(const Expected<T>& expected) {
  return !expected.ok();
}
inline bool failed(const computer::ActionReply& reply) { return !reply.success; }

template <class Result>
Result failure_as(const Outcome& outcome) {
  if constexpr (std::is_same_v<Result, computer::ActionReply>)
    return computer::ActionReply::from(outcome);
  else
    return Result(outcome);
}

// Runs `operation(computer)`, which touches no Python, with the interpreter's
// lock released (other Python threads run meanwhile) and the record's turn
// taken, after the lock is released so that two callers cannot block each
// other. The operation stops on Ctrl-C or cancel() without asking for the
// lock; once the lock is back, Python's handler raises KeyboardInterrupt
// for a Ctrl-C (on the main thread; elsewhere the call fails "stopped").
// A failed or stopped operation lets go of what it pressed. In a forked
// child the call raises RuntimeError at once.
template <class Operation>
auto run_unlocked(ComputerRecord& record, Operation&& operation) {
  using Result = std::invoke_result_t<Operation&, computer::Computer&>;
  CallGate& gate = *record.gate;
  if (!gate.owned_here()) {
    const std::string why = gate.inherited_failure();
    PyErr_SetString(PyExc_RuntimeError, why.c_str());
    return failure_as<Result>(Outcome::failure(why));
  }
  if (PyErr_CheckSignals() != 0) return failure_as<Result>(stopped());  // a Ctrl-C that came before
  const InterruptWatch watch;  // made and gone with the lock held
  const CallStop stop(gate);
  std::optional<Result> result;
  {
    struct Unlocked {
      PyThreadState* saved = PyEval_SaveThread();
      ~Unlocked() { PyEval_RestoreThread(saved); }
    } const unlocked;
    const GateTurn turn(gate, stop);
    if (!turn.taken()) {
      result.emplace(failure_as<Result>(stopped()));
    } else {
      const CallStopScope stop_on_request(stop);
      computer::Computer& computer = *record.computer;
      const computer::Computer::Held before = computer.held();
      result.emplace(operation(computer));
      if (failed(*result)) computer.release_pressed_since(before);
    }
  }
  // A stopped call answers with the exception that Python's handler raises for a Ctrl-C; a call that
  // succeeded leaves a signal to the interpreter's next check, so that its value is never paired with an error.
  if (failed(*result)) (void)PyErr_CheckSignals();
  return std::move(*result);
}

}  // namespace ondrel::py
