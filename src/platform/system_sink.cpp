#include "platform/system_sink.h"

#include "platform/recorder/recordable_sink.h"
#include "platform/recorder/recorder_journal.h"

namespace ondrel {

HidResult open_device_sink(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  std::unique_ptr<InputSink> system;
  if (!recorder::recording()) ONDREL_TRY(open_system_sink(kind, device_name, system));
  out = std::make_unique<RecordableSink>(std::move(system));
  return HidResult::success();
}

#if !defined(_WIN32) && !defined(__linux__)
HidResult open_system_sink(InputDeviceKind, const std::string&, std::unique_ptr<InputSink>&) {
  return HidError::platform_not_supported("no input system is known on this operating system");
}
#endif

}  // namespace ondrel
