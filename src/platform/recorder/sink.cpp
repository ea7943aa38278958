#include "platform/recorder/sink.h"

#include "platform/recorder/journal.h"
#include "platform/windows/input_record.h"

namespace ondrel::recorder {
namespace {

HidError refused() { return HidError::send_failed("SendInput failed"); }

}  // namespace

HidResult Sink::apply(const InputChange& change) {
  const std::optional<windows::Input> record = windows::record_for(change);
  if (!record) return refused();
  if (const auto decided = intercept(*record)) return *decided != 0 ? HidResult::success() : refused();
  if (!system_) return refused();
  return system_->apply(change);
}

}  // namespace ondrel::recorder
