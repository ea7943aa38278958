#include <cstdlib>
#include <string_view>

#include "platform/linux/uinput_device.h"
#include "platform/linux/uinput_sink.h"
#include "platform/linux/x11_sink.h"
#include "platform/system_sink.h"

namespace ondrel {
namespace {

constexpr const char* kForcedSystemVariable = "ONDREL_INPUT";

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

std::string x11_missing(const std::string& why_not) {
  return "no X display with the XTEST extension (" + why_not + ")";
}

HidError no_system(const std::string& x11_why_not, const std::string& uinput_why_not) {
  return HidError::platform_not_supported(x11_missing(x11_why_not) + " and " + uinput_why_not);
}

HidResult open_x11(std::unique_ptr<InputSink>& out) {
  std::string why_not;
  out = x11::open_sink(why_not);
  if (!out) return HidError::platform_not_supported(x11_missing(why_not));
  return HidResult::success();
}

HidResult open_uinput(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  std::string why_not;
  out = uinput::open_sink(kind, device_name, why_not);
  if (!out) return HidError::platform_not_supported(why_not);
  return HidResult::success();
}

// DISPLAY alone names the display the user means, often a program's own
// Xvfb: uinput would type into the machine's session instead, so a display
// that is slow or gone fails creation rather than switching.
HidResult open_display(std::string_view display, std::unique_ptr<InputSink>& out) {
  std::string why_not;
  out = x11::open_sink(why_not);
  if (out) return HidResult::success();
  if (why_not.find(display) == std::string::npos) why_not += "; DISPLAY is " + std::string(display);
  return HidError::platform_not_supported(x11_missing(why_not) +
                                          "; to use uinput instead, set " + kForcedSystemVariable + "=uinput");
}

// Under Wayland, X clients cannot reach other programs' windows, so uinput
// is the system whenever this process may use it, and X (Xwayland) only when
// it may not. A uinput device that fails is reported, never replaced by X.
HidResult open_under_wayland(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  if (uinput::available()) return open_uinput(kind, device_name, out);
  std::string x11_why_not;
  out = x11::open_sink(x11_why_not);
  if (out) return HidResult::success();
  return no_system(x11_why_not, uinput::kNotWritable);
}

HidResult open_without_display(InputDeviceKind kind, const std::string& device_name,
                               std::unique_ptr<InputSink>& out) {
  std::string why_not;
  out = uinput::open_sink(kind, device_name, why_not);
  if (out) return HidResult::success();
  return no_system("DISPLAY is not set", why_not);
}

// The system the user set, and no other after a timeout or a refusal: all
// devices of a program land on one system.
HidResult open_chosen(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  if (!environment("WAYLAND_DISPLAY").empty()) return open_under_wayland(kind, device_name, out);
  const std::string_view display = environment("DISPLAY");
  if (!display.empty()) return open_display(display, out);
  return open_without_display(kind, device_name, out);
}

}  // namespace

HidResult open_system_sink(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  const std::string_view forced = environment(kForcedSystemVariable);
  if (forced.empty()) return open_chosen(kind, device_name, out);
  if (forced == "x11") return open_x11(out);
  if (forced == "uinput") return open_uinput(kind, device_name, out);
  return HidError::platform_not_supported(std::string(kForcedSystemVariable) + " must be x11 or uinput, not '" +
                                          std::string(forced) + "'");
}

}  // namespace ondrel
