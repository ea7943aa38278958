#include "platform/linux/computer_systems.h"

namespace ondrel::linux::uinput {

Expected<std::unique_ptr<ComputerSystem>> open_computer_system(Size) {
  return Outcome::failure("the uinput system of ondrel_computer is not available yet");
}

}  // namespace ondrel::linux::uinput
