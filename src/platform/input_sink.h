#pragma once

#include "devices/hid_result.h"
#include "platform/windows/input_record.h"

namespace ondrel {

// Where a Windows back end's INPUT records go: user32 on Windows, an X
// display or a uinput device elsewhere, the recorder in tests. Each back end
// owns its sink, so what a device injects through lives and dies with it.
class InputSink {
 public:
  virtual ~InputSink() = default;
  // One record, as SendInput takes it: success once the system has taken
  // it; otherwise a SendFailed whose text names the system and the cause
  // ("SendInput failed" on Windows, whose caller learns nothing more).
  virtual HidResult send_input(const win32::Input& input) = 0;
};

// The devices that inject INPUT records; a sink may need to know which
// events its device can produce.
enum class InputDeviceKind { mouse, keyboard };

}  // namespace ondrel
