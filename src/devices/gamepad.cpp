#include "devices/gamepad.h"

#include "devices/pause.h"

namespace ondrel {
namespace {

// After a failure: buttons the operation pressed come out, buttons it
// released stay released, and sticks and triggers go back to the values
// they had before it: what it set there is not the next operation's to send.
void withdraw(GamepadReport& report, const GamepadReport& before) {
  const auto buttons = static_cast<std::uint16_t>(report.buttons() & before.buttons());
  report = before;
  report.set_buttons(buttons);
}

}  // namespace

HidResult GamepadDevice::send_buttons(std::uint16_t buttons) {
  mutable_report().set_buttons(buttons);
  return send();
}

HidResult GamepadDevice::press(std::uint16_t mask) {
  return attempt(
      [&]() -> HidResult {
        return send_buttons(static_cast<std::uint16_t>(report().buttons() | mask));
      },
      withdraw);
}

HidResult GamepadDevice::release(std::uint16_t mask) {
  return attempt(
      [&]() -> HidResult {
        return send_buttons(static_cast<std::uint16_t>(report().buttons() & ~mask));
      },
      withdraw);
}

// Ends with the tapped bits clear even when they were down before the tap.
HidResult GamepadDevice::tap(std::uint16_t mask) {
  return attempt(
      [&]() -> HidResult {
        const std::uint16_t before = report().buttons();
        ONDREL_TRY(send_buttons(static_cast<std::uint16_t>(before | mask)));
        pause_ms(kTapHoldMs);
        return send_buttons(static_cast<std::uint16_t>(before & ~mask));
      },
      withdraw);
}

HidResult GamepadDevice::left_stick(std::uint8_t x, std::uint8_t y) {
  return attempt(
      [&]() -> HidResult {
        mutable_report().left_x = x;
        mutable_report().left_y = y;
        return send();
      },
      withdraw);
}

HidResult GamepadDevice::right_stick(std::uint8_t x, std::uint8_t y) {
  return attempt(
      [&]() -> HidResult {
        mutable_report().right_x = x;
        mutable_report().right_y = y;
        return send();
      },
      withdraw);
}

HidResult GamepadDevice::left_trigger(std::uint8_t value) {
  return attempt(
      [&]() -> HidResult {
        mutable_report().left_trigger = value;
        return send();
      },
      withdraw);
}

HidResult GamepadDevice::right_trigger(std::uint8_t value) {
  return attempt(
      [&]() -> HidResult {
        mutable_report().right_trigger = value;
        return send();
      },
      withdraw);
}

HidResult GamepadDevice::reset() {
  return attempt(
      [&]() -> HidResult {
        mutable_report() = GamepadReport{};
        return send();
      },
      withdraw);
}

}  // namespace ondrel
