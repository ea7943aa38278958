#include "platform/system_sink.h"

#include "platform/recorder/journal.h"
#include "platform/recorder/sink.h"

namespace ondrel {

HidResult open_device_sink(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  std::unique_ptr<InputSink> system;
  if (!recorder::recording()) ONDREL_TRY(open_system_sink(kind, device_name, system));
  out = std::make_unique<recorder::Sink>(std::move(system));
  return HidResult::success();
}

}  // namespace ondrel
