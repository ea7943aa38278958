#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/linux/computer_systems.h"
#include "platform/linux/uinput_device.h"
#include "platform/linux/uinput_sink.h"
#include "platform/system_computer.h"

namespace ondrel {
namespace {

// The same variables, in the same order, as the devices' choice
// (system_choice.cpp), so that a Computer and the devices of one program
// land on one system.
constexpr const char* kForcedSystemVariable = "ONDREL_INPUT";

using Opened = Expected<std::unique_ptr<ComputerSystem>>;

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

Opened open_uinput(std::optional<Size> screen_size) {
  if (!screen_size)
    return Outcome::failure("screen_size=(width, height) is required for uinput, which cannot ask the "
                            "compositor the screen's size");
  return uinput::open_computer_system(*screen_size);
}

// DISPLAY alone names the display the user means: a display that fails is
// reported, never replaced by uinput.
Opened open_display(std::string_view display) {
  Opened opened = x11::open_computer_system();
  if (opened.ok()) return opened;
  return Outcome::failure(opened.outcome().error() + " (DISPLAY is " + std::string(display) + "; to use uinput instead, set " +
                          kForcedSystemVariable + "=uinput)");
}

// Under Wayland, X clients cannot reach other programs' windows: uinput
// whenever this process may use it, X (Xwayland) only when it may not.
Opened open_under_wayland(std::optional<Size> screen_size) {
  if (uinput::available()) return open_uinput(screen_size);
  Opened opened = x11::open_computer_system();
  if (opened.ok()) return opened;
  return Outcome::failure(opened.outcome().error() + ", and " + uinput::kNotWritable);
}

}  // namespace

Opened open_system_computer(std::optional<Size> screen_size) {
  const std::string_view forced = environment(kForcedSystemVariable);
  if (forced == "x11") return x11::open_computer_system();
  if (forced == "uinput") return open_uinput(screen_size);
  if (!forced.empty())
    return Outcome::failure(std::string(kForcedSystemVariable) + " must be x11 or uinput, not '" +
                            std::string(forced) + "'");
  if (!environment("WAYLAND_DISPLAY").empty()) return open_under_wayland(screen_size);
  if (const std::string_view display = environment("DISPLAY"); !display.empty()) return open_display(display);
  return open_uinput(screen_size);
}

}  // namespace ondrel
