#include "platform/recorder/gamepad_backend.h"

#include "platform/recorder/journal.h"

namespace ondrel::recorder {

HidResult GamepadBackend::send_report(std::span<const std::uint8_t> report) {
  record_gamepad_report(report);
  return HidResult::success();
}

}  // namespace ondrel::recorder
