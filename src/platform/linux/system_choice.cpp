#include <cstdlib>
#include <string_view>

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

// X when reachable, else uinput; under Wayland, X clients cannot reach other
// programs' windows, so uinput comes first there.
HidResult open_preferred(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  std::string uinput_why_not;
  const bool uinput_first = !environment("WAYLAND_DISPLAY").empty() && uinput::available();
  if (uinput_first) {
    out = uinput::open_sink(kind, device_name, uinput_why_not);
    if (out) return HidResult::success();
  }
  std::string x11_why_not;
  out = x11::open_sink(x11_why_not);
  if (out) return HidResult::success();
  if (!uinput_first) {  // once only: a second try would fail as the first did
    out = uinput::open_sink(kind, device_name, uinput_why_not);
    if (out) return HidResult::success();
  }
  return HidError::platform_not_supported(x11_missing(x11_why_not) + " and " + uinput_why_not);
}

}  // namespace

HidResult open_system_sink(InputDeviceKind kind, const std::string& device_name, std::unique_ptr<InputSink>& out) {
  const std::string_view forced = environment(kForcedSystemVariable);
  if (forced.empty()) return open_preferred(kind, device_name, out);
  if (forced == "x11") return open_x11(out);
  if (forced == "uinput") return open_uinput(kind, device_name, out);
  return HidError::platform_not_supported(std::string(kForcedSystemVariable) + " must be x11 or uinput, not '" +
                                          std::string(forced) + "'");
}

}  // namespace ondrel
