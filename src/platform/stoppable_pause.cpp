#include "platform/stoppable_pause.h"

#include <algorithm>

#include "devices/pause.h"
#include "devices/stop_request.h"

namespace ondrel {

Outcome stopped() { return Outcome::failure("stopped"); }

Outcome pause_unless_stopped(std::uint32_t milliseconds) {
  do {
    if (stop_requested()) return stopped();
    const std::uint32_t slice = std::min(milliseconds, kStopCheckSliceMs);
    pause_ms(slice);
    milliseconds -= slice;
  } while (milliseconds > 0);
  return Outcome::success();
}

}  // namespace ondrel
