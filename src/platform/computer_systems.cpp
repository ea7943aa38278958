#include "platform/recorder/computer.h"
#include "platform/recorder/journal.h"
#include "platform/system_computer.h"

namespace ondrel {

// While the recorder is started, a new Computer records and never reaches
// the machine's input, as the devices do.
Expected<std::unique_ptr<ComputerSystem>> open_computer_system(std::optional<Size> screen_size) {
  if (recorder::recording()) return recorder::open_recording_computer(screen_size);
  return open_system_computer(screen_size);
}

}  // namespace ondrel
