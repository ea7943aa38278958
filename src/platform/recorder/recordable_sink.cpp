#include "platform/recorder/recordable_sink.h"

#include "platform/recorder/recorder_journal.h"

namespace ondrel {

unsigned RecordableSink::send_input(const win32::Input& input) {
  if (const auto decided = recorder::intercept(input)) return *decided;
  return system_ ? system_->send_input(input) : 0;
}

}  // namespace ondrel
