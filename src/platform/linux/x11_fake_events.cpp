#include "platform/linux/x11_fake_events.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

#include "platform/key_codes.h"

namespace ondrel::x11 {
namespace {

constexpr std::uint8_t kRelativeMotion = 1;
constexpr std::uint8_t kWheelAway = 4;
constexpr std::uint8_t kWheelToward = 5;
// X servers with evdev keycodes (Xorg, Xvfb, Xwayland) number keys from 8.
constexpr std::uint16_t kEvdevKeycodeOffset = 8;
constexpr std::uint16_t kLargestKeycode = 255;

struct ButtonFlag {
  std::uint32_t flag;
  FakeEvent event;
};

// In the order of the flags' bits, which is the order Windows plays them in.
constexpr std::array<ButtonFlag, 6> kButtonFlags = {{
    {win32::mouse_flag::left_down, {event_type::button_press, 1}},
    {win32::mouse_flag::left_up, {event_type::button_release, 1}},
    {win32::mouse_flag::right_down, {event_type::button_press, 3}},
    {win32::mouse_flag::right_up, {event_type::button_release, 3}},
    {win32::mouse_flag::middle_down, {event_type::button_press, 2}},
    {win32::mouse_flag::middle_up, {event_type::button_release, 2}},
}};

constexpr std::uint32_t kKnownMouseFlags = win32::mouse_flag::move | win32::mouse_flag::left_down |
                                           win32::mouse_flag::left_up | win32::mouse_flag::right_down |
                                           win32::mouse_flag::right_up | win32::mouse_flag::middle_down |
                                           win32::mouse_flag::middle_up | win32::mouse_flag::wheel;
constexpr std::uint32_t kKnownKeyFlags = win32::key_flag::key_up | win32::key_flag::extended_key;

// A relative move beyond X's 16-bit coordinates ends at the screen's edge
// either way, as it does on Windows.
std::int16_t clamp_to_coordinate(std::int32_t offset) {
  constexpr std::int32_t limit = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(std::clamp(offset, -limit, limit));
}

// X has no wheel axis in its core protocol: each notch is a click of button
// 4 (away from the user) or 5. A remainder of less than a notch is dropped.
bool add_wheel(std::int32_t mouse_data, std::vector<FakeEvent>& events) {
  const std::int32_t notches = mouse_data / win32::kWheelDelta;
  if (notches > kMostWheelNotches || notches < -kMostWheelNotches) return false;
  const std::uint8_t button = notches > 0 ? kWheelAway : kWheelToward;
  for (std::int32_t i = 0; i < std::abs(notches); ++i) {
    events.push_back({event_type::button_press, button});
    events.push_back({event_type::button_release, button});
  }
  return true;
}

std::optional<std::vector<FakeEvent>> mouse_events(const win32::MouseInput& mouse) {
  if ((mouse.dwFlags & ~kKnownMouseFlags) != 0) return std::nullopt;
  std::vector<FakeEvent> events;
  if ((mouse.dwFlags & win32::mouse_flag::move) != 0 && (mouse.dx != 0 || mouse.dy != 0))
    events.push_back({event_type::motion, kRelativeMotion, clamp_to_coordinate(mouse.dx), clamp_to_coordinate(mouse.dy)});
  for (const ButtonFlag& button : kButtonFlags) {
    if ((mouse.dwFlags & button.flag) != 0) events.push_back(button.event);
  }
  if ((mouse.dwFlags & win32::mouse_flag::wheel) != 0 &&
      !add_wheel(static_cast<std::int32_t>(mouse.mouseData), events))
    return std::nullopt;
  return events;
}

// The extended flag changes nothing: the keycode names the physical key already.
std::optional<std::vector<FakeEvent>> key_events(const win32::KeyboardInput& key) {
  if ((key.dwFlags & ~kKnownKeyFlags) != 0) return std::nullopt;
  const std::optional<std::uint16_t> linux_key = linux_key_for_virtual_key(key.wVk);
  if (!linux_key || *linux_key + kEvdevKeycodeOffset > kLargestKeycode) return std::nullopt;
  const std::uint8_t type = (key.dwFlags & win32::key_flag::key_up) != 0 ? event_type::key_release : event_type::key_press;
  return std::vector<FakeEvent>{{type, static_cast<std::uint8_t>(*linux_key + kEvdevKeycodeOffset)}};
}

}  // namespace

std::optional<std::vector<FakeEvent>> fake_events_for(const win32::Input& input) {
  if (input.type == win32::kInputMouse) return mouse_events(input.mi);
  if (input.type == win32::kInputKeyboard) return key_events(input.ki);
  return std::nullopt;
}

}  // namespace ondrel::x11
