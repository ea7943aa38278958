#include "platform/linux/uinput_sink.h"

#include <unistd.h>

#include <optional>
#include <variant>
#include <vector>

#include "platform/key_codes.h"
#include "platform/linux/os_error.h"
#include "platform/linux/record_events.h"
#include "platform/linux/uinput_device.h"

namespace ondrel::uinput {
namespace {

Capabilities mouse_capabilities() {
  return {.keys = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE},
          .relative_axes = {REL_X, REL_Y, REL_WHEEL, REL_WHEEL_HI_RES},
          .absolute_axes = {}};
}

// Every key of the key table. No EV_REP: the kernel would repeat a key held
// longer than its delay on its own.
Capabilities keyboard_capabilities() {
  Capabilities capabilities;
  for (const KeyCodes& key : kKeyCodes) capabilities.keys.push_back(key.linux_key);
  for (const ModifierKeyCodes& modifier : kModifierKeyCodes) capabilities.keys.push_back(modifier.linux_key);
  return capabilities;
}

}  // namespace

bool available() { return access("/dev/uinput", W_OK) == 0; }

std::unique_ptr<InputSink> open_sink(InputDeviceKind kind, const std::string& device_name, std::string& why_not) {
  const Capabilities capabilities = kind == InputDeviceKind::mouse ? mouse_capabilities() : keyboard_capabilities();
  auto device = UinputDevice::create(capabilities, device_name, why_not);
  if (!device) return nullptr;
  return std::make_unique<UinputSink>(kind, std::move(device));
}

std::optional<std::vector<input_event>> UinputSink::events_for(const win32::Input& input) const {
  const std::optional<InputChanges> changes = decode_record(input);
  if (!changes) return std::nullopt;
  if (kind_ == InputDeviceKind::mouse) {
    if (const auto* pointer = std::get_if<PointerChanges>(&*changes)) return pointer_events(*pointer);
  } else if (const auto* key = std::get_if<KeyChange>(&*changes)) {
    return key_events(*key);
  }
  return std::nullopt;  // another device's record: this one cannot produce it
}

HidResult UinputSink::send_input(const win32::Input& input) {
  const std::optional<std::vector<input_event>> events = events_for(input);
  if (!events) return HidError::send_failed("the uinput device cannot play this record");
  if (!device_->write(*events)) return HidError::send_failed(os_error("uinput write"));
  return HidResult::success();
}

}  // namespace ondrel::uinput
