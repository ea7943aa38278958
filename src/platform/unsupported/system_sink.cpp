#include "platform/system_sink.h"

namespace ondrel {

HidResult open_system_sink(InputDeviceKind, const std::string&, std::unique_ptr<InputSink>&) {
  return HidError::platform_not_supported("no input system is known on this operating system");
}

}  // namespace ondrel
