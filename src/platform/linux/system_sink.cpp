#include "platform/system_sink.h"

#include "platform/linux/system_choice.h"
#include "platform/linux/uinput/sink.h"
#include "platform/linux/x11/sink.h"

namespace ondrel {

HidResult open_system_sink(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  const Expected<linux::SystemChoice> choice = linux::SystemChoice::from_environment();
  if (!choice.ok()) return HidError::platform_not_supported(choice.outcome().error());
  Expected<std::unique_ptr<InputSink>> sink = choice.value().system() == linux::System::x11
                                                  ? linux::x11::open_sink()
                                                  : linux::uinput::open_sink(kind, device_name);
  if (!sink.ok()) return HidError::platform_not_supported(choice.value().refusal(sink.outcome().error()));
  out = std::move(sink).take();
  return HidResult::success();
}

}  // namespace ondrel
