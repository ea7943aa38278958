#include "platform/recorder/recordable_sink.h"

#include "platform/recorder/recorder_journal.h"

namespace ondrel {

namespace {

HidError refused() { return HidError::send_failed("SendInput failed"); }

}  // namespace

HidResult RecordableSink::send_input(const win32::Input& input) {
  if (const auto decided = recorder::intercept(input)) return *decided != 0 ? HidResult::success() : refused();
  if (!system_) return refused();
  return system_->send_input(input);
}

}  // namespace ondrel
