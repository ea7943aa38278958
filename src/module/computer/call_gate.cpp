#include "module/computer/call_gate.h"

#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "module/computer/interrupt_watch.h"

namespace ondrel::py {
namespace {

// How long a waiting call goes without asking whether to stop.
constexpr std::chrono::milliseconds kTurnSlice{5};

std::uint64_t this_process() {
#ifdef _WIN32
  return ::GetCurrentProcessId();
#else
  return static_cast<std::uint64_t>(::getpid());
#endif
}

thread_local const CallStop* running_call = nullptr;

bool running_call_stopped() { return running_call != nullptr && running_call->requested(); }

}  // namespace

CallGate::CallGate() : owner_(this_process()) {}

bool CallGate::owned_here() const { return owner_ == this_process(); }

std::string CallGate::inherited_failure() const {
  return "this Computer belongs to its parent process (pid " + std::to_string(owner_) +
         "): a forked child creates a Computer of its own";
}

CallStop::CallStop(const CallGate& gate) : gate_(gate), interrupts_(interrupts_seen()), cancels_(gate.cancels()) {}

bool CallStop::requested() const { return interrupts_seen() != interrupts_ || gate_.cancels() != cancels_; }

GateTurn::GateTurn(CallGate& gate, const CallStop& stop) : gate_(gate) {
  while (!stop.requested()) {
    if (gate_.mutex().try_lock_for(kTurnSlice)) {
      taken_ = true;
      return;
    }
  }
}

GateTurn::~GateTurn() {
  if (taken_) gate_.mutex().unlock();
}

CallStopScope::CallStopScope(const CallStop& stop) : previous_(running_call), check_(running_call_stopped) {
  running_call = &stop;
}

CallStopScope::~CallStopScope() { running_call = previous_; }

}  // namespace ondrel::py
