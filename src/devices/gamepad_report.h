#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

namespace ondrel {

inline constexpr std::uint8_t kStickCentre = 128;

// The gamepad's 8-byte report, starting in the neutral position
// 00 00 80 80 80 80 00 00. The 16-bit button set is kept as two bytes,
// low byte first, so the bytes sent are the same on every host.
struct GamepadReport {
  std::array<std::uint8_t, 2> buttons_le = {0, 0};
  std::uint8_t left_x = kStickCentre;
  std::uint8_t left_y = kStickCentre;
  std::uint8_t right_x = kStickCentre;
  std::uint8_t right_y = kStickCentre;
  std::uint8_t left_trigger = 0;
  std::uint8_t right_trigger = 0;

  [[nodiscard]] constexpr std::uint16_t buttons() const {
    return static_cast<std::uint16_t>(buttons_le[0] | (buttons_le[1] << 8));
  }
  constexpr void set_buttons(std::uint16_t bits) {
    buttons_le[0] = static_cast<std::uint8_t>(bits & 0xFF);
    buttons_le[1] = static_cast<std::uint8_t>(bits >> 8);
  }
};
static_assert(sizeof(GamepadReport) == 8);
static_assert(std::is_trivially_copyable_v<GamepadReport>);

}  // namespace ondrel
