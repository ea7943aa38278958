#include "platform/recorder/gamepad_recording_backend.h"

#include "platform/recorder/recorder_journal.h"

namespace ondrel {

HidResult GamepadRecordingBackend::send_report(std::span<const std::uint8_t> report) {
  recorder::record_gamepad_report(report);
  return HidResult::success();
}

}  // namespace ondrel
