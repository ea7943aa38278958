#pragma once

#include "devices/hid_result.h"
#include "platform/input_change.h"

namespace ondrel {

// Where a mouse's or keyboard's changes go: user32 on Windows, an X display
// or a uinput device on Linux, the recorder in tests. Each device owns its
// sink, so what it injects through lives and dies with it.
class InputSink {
 public:
  virtual ~InputSink() = default;
  // Success once the system has taken the change; otherwise SendFailed with
  // a text that names the system's cause.
  virtual HidResult apply(const InputChange& change) = 0;
};

// The devices that inject through a sink; a sink may need to know which
// events its device can produce.
enum class InputDeviceKind { mouse, keyboard };

}  // namespace ondrel
