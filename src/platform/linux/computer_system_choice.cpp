#include "platform/linux/computer_systems.h"
#include "platform/linux/system_choice.h"
#include "platform/system_computer.h"

namespace ondrel {

// The devices' choice, so that a Computer and the devices of one program
// land on one system.
Expected<std::unique_ptr<ComputerSystem>> open_system_computer(std::optional<Size> screen_size) {
  const Expected<linux::SystemChoice> choice = linux::SystemChoice::from_environment();
  if (!choice.ok()) return choice.outcome();
  if (choice.value().system() == linux::System::uinput && !screen_size)
    return Outcome::failure("screen_size=(width, height) is required for uinput, which cannot ask the compositor "
                            "the screen's size");
  Expected<std::unique_ptr<ComputerSystem>> opened = choice.value().system() == linux::System::x11
                                                         ? linux::x11::open_computer_system()
                                                         : linux::uinput::open_computer_system(*screen_size);
  if (opened.ok()) return opened;
  return Outcome::failure(choice.value().refusal(opened.error()));
}

}  // namespace ondrel
