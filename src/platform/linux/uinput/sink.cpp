#include "platform/linux/uinput/sink.h"

#include <optional>
#include <variant>
#include <vector>

#include "platform/key_codes.h"
#include "platform/linux/uinput/device.h"
#include "platform/linux/uinput/events.h"
#include "platform/pointer_buttons.h"

namespace ondrel::linux::uinput {
namespace {

Capabilities mouse_capabilities() {
  Capabilities capabilities{.keys = {}, .relative_axes = {REL_X, REL_Y, REL_WHEEL, REL_WHEEL_HI_RES},
                            .absolute_axes = {}};
  for (const PointerButtonCodes& button : kPointerButtonCodes)
    if (button.report_bit != 0) capabilities.keys.push_back(button.evdev);  // the mouse report's buttons
  return capabilities;
}

// Every key of the key table. No EV_REP: the kernel would repeat a key held
// longer than its delay on its own.
Capabilities keyboard_capabilities() {
  Capabilities capabilities;
  for (const KeyCodes& key : kKeyCodes) capabilities.keys.push_back(key.linux_key);
  for (const ModifierKeyCodes& modifier : kModifierKeyCodes) capabilities.keys.push_back(modifier.linux_key);
  return capabilities;
}

bool belongs_to(InputDeviceKind kind, const InputChange& change) {
  return std::holds_alternative<KeyChange>(change) == (kind == InputDeviceKind::keyboard);
}

}  // namespace

Expected<std::unique_ptr<InputSink>> open_sink(InputDeviceKind kind, const std::string& device_name) {
  const Capabilities capabilities = kind == InputDeviceKind::mouse ? mouse_capabilities() : keyboard_capabilities();
  Expected<std::unique_ptr<Device>> device = Device::create(capabilities, device_name);
  if (!device.ok()) return device.outcome();
  return std::unique_ptr<InputSink>(std::make_unique<Sink>(kind, std::move(device).take()));
}

HidResult Sink::apply(const InputChange& change) {
  const std::optional<std::vector<input_event>> events =
      belongs_to(kind_, change) ? events_for(change) : std::nullopt;
  if (!events) return HidError::send_failed("the uinput device cannot play this record");
  const Outcome written = device_->write(*events);
  if (!written.ok()) return HidError::send_failed(written.error());
  return HidResult::success();
}

}  // namespace ondrel::linux::uinput
