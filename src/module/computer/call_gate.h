#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include <string>

#include "devices/stop_request.h"

namespace ondrel::py {

// What the calls on one Computer share: one runs at a time (the others wait
// their turn), cancel() asks the running and waiting ones to stop, and the
// process that made the Computer is the only one to drive it (a forked
// child inherits the mutex as it was, perhaps held by a thread it lacks).
class CallGate {
 public:
  CallGate();
  // Whether this process made the Computer.
  [[nodiscard]] bool owned_here() const;
  // Why a forked child's call fails.
  [[nodiscard]] std::string inherited_failure() const;
  // Stops the calls begun before it; never blocks.
  void cancel() { cancels_.fetch_add(1, std::memory_order_acq_rel); }
  [[nodiscard]] std::uint64_t cancels() const { return cancels_.load(std::memory_order_acquire); }
  std::timed_mutex& mutex() { return mutex_; }

 private:
  std::timed_mutex mutex_;
  std::atomic<std::uint64_t> cancels_{0};
  std::uint64_t owner_;
};

// Whether a call begun at its construction should stop: a SIGINT came or
// cancel() was asked since then. Asking takes no lock, so a hold ends on
// time whatever other threads do.
class CallStop {
 public:
  explicit CallStop(const CallGate& gate);
  [[nodiscard]] bool requested() const;

 private:
  const CallGate& gate_;
  std::uint64_t interrupts_;
  std::uint64_t cancels_;
};

// The gate's mutex, waited for in short slices so that a stop reaches a call
// still waiting for another thread's call.
class GateTurn {
 public:
  GateTurn(CallGate& gate, const CallStop& stop);
  ~GateTurn();
  GateTurn(const GateTurn&) = delete;
  GateTurn& operator=(const GateTurn&) = delete;
  // False when the call was stopped before its turn came.
  [[nodiscard]] bool taken() const { return taken_; }

 private:
  CallGate& gate_;
  bool taken_ = false;
};

// While alive, stop_requested() on this thread answers `stop.requested()`.
class CallStopScope {
 public:
  explicit CallStopScope(const CallStop& stop);
  ~CallStopScope();
  CallStopScope(const CallStopScope&) = delete;
  CallStopScope& operator=(const CallStopScope&) = delete;

 private:
  const CallStop* previous_;
  StopCheckScope check_;
};

}  // namespace ondrel::py
