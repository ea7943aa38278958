#include "devices/gamepad.h"

#include "devices/pause.h"

namespace ondrel {

HidResult GamepadDevice::send_buttons(std::uint16_t buttons) {
  mutable_report().set_buttons(buttons);
  return send();
}

HidResult GamepadDevice::press(std::uint16_t mask) {
  return send_buttons(static_cast<std::uint16_t>(report().buttons() | mask));
}

HidResult GamepadDevice::release(std::uint16_t mask) {
  return send_buttons(static_cast<std::uint16_t>(report().buttons() & ~mask));
}

// Ends with the tapped bits clear even when they were down before the tap.
HidResult GamepadDevice::tap(std::uint16_t mask) {
  const std::uint16_t before = report().buttons();
  ONDREL_TRY(send_buttons(static_cast<std::uint16_t>(before | mask)));
  pause_ms(kTapHoldMs);
  return send_buttons(static_cast<std::uint16_t>(before & ~mask));
}

HidResult GamepadDevice::left_stick(std::uint8_t x, std::uint8_t y) {
  mutable_report().left_x = x;
  mutable_report().left_y = y;
  return send();
}

HidResult GamepadDevice::right_stick(std::uint8_t x, std::uint8_t y) {
  mutable_report().right_x = x;
  mutable_report().right_y = y;
  return send();
}

HidResult GamepadDevice::left_trigger(std::uint8_t value) {
  mutable_report().left_trigger = value;
  return send();
}

HidResult GamepadDevice::right_trigger(std::uint8_t value) {
  mutable_report().right_trigger = value;
  return send();
}

HidResult GamepadDevice::reset() {
  mutable_report() = GamepadReport{};
  return send();
}

}  // namespace ondrel
