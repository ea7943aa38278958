#pragma once

#include <memory>

#include "platform/windows/input_record.h"

namespace ondrel {

// Where a Windows back end's INPUT records go: user32 on Windows, an X
// display or a uinput device elsewhere, the recorder in tests. Each back end
// owns its sink, so what a device injects through lives and dies with it.
class InputSink {
 public:
  virtual ~InputSink() = default;
  // SendInput's contract for one record: 1 once the system has taken it, 0
  // when it was refused or could not be delivered.
  virtual unsigned send_input(const win32::Input& input) = 0;
};

// The devices that inject INPUT records; a sink may need to know which
// events its device can produce.
enum class InputDeviceKind { mouse, keyboard };

}  // namespace ondrel
