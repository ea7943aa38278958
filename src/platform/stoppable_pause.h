#pragma once

#include <cstdint>

#include "devices/outcome.h"

namespace ondrel {

// The longest a computer-use pause goes without asking whether to stop:
// short enough that Ctrl-C feels immediate. Asking takes no lock (a
// Computer call reads counters), so a pause never waits for another thread.
inline constexpr std::uint32_t kStopCheckSliceMs = 50;

// Pauses `milliseconds`, in slices of at most kStopCheckSliceMs, asking
// stop_requested() before each; a stop ends it with a failure.
Outcome pause_unless_stopped(std::uint32_t milliseconds);

// The failure of a stopped operation.
Outcome stopped();

}  // namespace ondrel
