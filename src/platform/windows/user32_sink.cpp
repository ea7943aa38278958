#include <windows.h>

#include "platform/system_sink.h"
#include "platform/windows/input_record.h"

namespace ondrel {
namespace {

class User32Sink final : public InputSink {
 public:
  // The error code of a refusal is not fetched: a Windows caller learns only
  // that SendInput failed.
  HidResult apply(const InputChange& change) override {
    std::optional<windows::Input> record = windows::record_for(change);
    if (!record || ::SendInput(1, &*record, sizeof(windows::Input)) == 0) return HidError::send_failed("SendInput failed");
    return HidResult::success();
  }
};

}  // namespace

HidResult open_system_sink(InputDeviceKind, const std::string&, std::unique_ptr<InputSink>& out) {
  out = std::make_unique<User32Sink>();
  return HidResult::success();
}

}  // namespace ondrel
