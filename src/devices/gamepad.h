#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "devices/device.h"
#include "devices/gamepad_report.h"

namespace ondrel {

inline constexpr std::string_view kDefaultGamepadName = "ondrel Virtual Gamepad";

// A gamepad: button masks are sets of GamepadButton bits; stick and
// trigger values are stored and sent exactly as given.
class GamepadDevice : public Device<GamepadReport> {
 public:
  static constexpr unsigned kTapHoldMs = 50;

  explicit GamepadDevice(BackendFactory factory, std::string name = std::string(kDefaultGamepadName))
      : Device(std::move(name), std::move(factory)) {}

  HidResult press(std::uint16_t mask);
  HidResult release(std::uint16_t mask);
  HidResult tap(std::uint16_t mask);
  HidResult left_stick(std::uint8_t x, std::uint8_t y);
  HidResult right_stick(std::uint8_t x, std::uint8_t y);
  HidResult left_trigger(std::uint8_t value);
  HidResult right_trigger(std::uint8_t value);
  HidResult reset();

 private:
  HidResult send_buttons(std::uint16_t buttons);
};

}  // namespace ondrel
