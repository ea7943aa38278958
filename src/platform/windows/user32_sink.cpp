#ifdef _WIN32

#include "platform/system_sink.h"

namespace ondrel {
namespace {

class User32Sink final : public InputSink {
 public:
  // The error code of a refusal is not fetched: a Windows caller learns only
  // that SendInput failed.
  HidResult send_input(const win32::Input& input) override {
    win32::Input copy = input;  // SendInput takes a non-const pointer
    if (::SendInput(1, &copy, sizeof(win32::Input)) == 0) return HidError::send_failed("SendInput failed");
    return HidResult::success();
  }
};

}  // namespace

HidResult open_system_sink(InputDeviceKind, const std::string&, std::unique_ptr<InputSink>& out) {
  out = std::make_unique<User32Sink>();
  return HidResult::success();
}

}  // namespace ondrel

#endif
