#include "platform/linux/system_choice.h"

#include <cstdlib>
#include <string_view>

#include "platform/linux/uinput/device.h"

namespace ondrel::linux {
namespace {

constexpr const char* kForcedSystemVariable = "ONDREL_INPUT";

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

std::string x11_missing(const std::string& why) { return "no X display with the XTEST extension (" + why + ")"; }

}  // namespace

Expected<SystemChoice> SystemChoice::from_environment() {
  const std::string_view forced = environment(kForcedSystemVariable);
  if (forced == "x11") return SystemChoice(System::x11, Because::forced, {});
  if (forced == "uinput") return SystemChoice(System::uinput, Because::forced, {});
  if (!forced.empty())
    return Outcome::failure(std::string(kForcedSystemVariable) + " must be x11 or uinput, not '" +
                            std::string(forced) + "'");
  // Under Wayland, X clients cannot reach other programs' windows: X
  // (Xwayland) only when this process may not use uinput.
  if (!environment("WAYLAND_DISPLAY").empty())
    return SystemChoice(uinput::available() ? System::uinput : System::x11, Because::wayland, {});
  // DISPLAY names the display the user means, often a program's own Xvfb:
  // uinput would type into the machine's session instead.
  const std::string_view display = environment("DISPLAY");
  if (!display.empty()) return SystemChoice(System::x11, Because::display, std::string(display));
  return SystemChoice(System::uinput, Because::nothing_set, {});
}

std::string SystemChoice::refusal(const std::string& why) const {
  switch (because_) {
    case Because::forced:
      return system_ == System::x11 ? x11_missing(why) : why;
    case Because::wayland:
      return system_ == System::x11 ? x11_missing(why) + " and " + uinput::kNotWritable : why;
    case Because::display: {
      const std::string named = why.find(display_) == std::string::npos ? why + "; DISPLAY is " + display_ : why;
      return x11_missing(named) + "; to use uinput instead, set " + kForcedSystemVariable + "=uinput";
    }
    case Because::nothing_set:
      break;
  }
  return x11_missing("DISPLAY is not set") + " and " + why;
}

}  // namespace ondrel::linux
