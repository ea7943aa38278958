#include "platform/linux/computer_systems.h"

namespace ondrel::linux::x11 {

Expected<std::unique_ptr<ComputerSystem>> open_computer_system() {
  return Outcome::failure("the X system of ondrel_computer is not available yet");
}

}  // namespace ondrel::linux::x11
