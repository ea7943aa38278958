#include "platform/linux/x11/fake_events.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace ondrel::linux::x11 {
namespace {

constexpr std::uint8_t kRelativeMotion = 1;
constexpr std::uint8_t kWheelAway = 4;
constexpr std::uint8_t kWheelToward = 5;
// X servers with evdev keycodes (Xorg, Xvfb, Xwayland) number keys from 8.
constexpr std::uint16_t kEvdevKeycodeOffset = 8;
constexpr std::uint16_t kLargestKeycode = 255;

// X's core button numbers, indexed by PointerButton.
constexpr std::array<std::uint8_t, 3> kButtonNumbers = {1, 3, 2};

// A relative move beyond X's 16-bit coordinates ends at the screen's edge
// either way, as it does on Windows.
std::int16_t clamp_to_coordinate(std::int32_t offset) {
  constexpr std::int32_t limit = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(std::clamp(offset, -limit, limit));
}

// X has no wheel axis in its core protocol: each notch is a click of button
// 4 (away from the user) or 5. A remainder of less than a notch is dropped.
bool add_wheel(std::int32_t wheel, std::vector<FakeEvent>& events) {
  const std::int32_t notches = wheel / win32::kWheelDelta;
  if (notches > kMostWheelNotches || notches < -kMostWheelNotches) return false;
  const std::uint8_t button = notches > 0 ? kWheelAway : kWheelToward;
  for (std::int32_t i = 0; i < std::abs(notches); ++i) {
    events.push_back({event_type::button_press, button});
    events.push_back({event_type::button_release, button});
  }
  return true;
}

std::optional<std::vector<FakeEvent>> pointer_events(const PointerChanges& changes) {
  std::vector<FakeEvent> events;
  if (changes.dx != 0 || changes.dy != 0)
    events.push_back({event_type::motion, kRelativeMotion, clamp_to_coordinate(changes.dx),
                      clamp_to_coordinate(changes.dy)});
  for (const ButtonChange& change : changes.buttons) {
    const std::uint8_t type = change.down ? event_type::button_press : event_type::button_release;
    events.push_back({type, kButtonNumbers[static_cast<std::size_t>(change.button)]});
  }
  if (!add_wheel(changes.wheel, events)) return std::nullopt;
  return events;
}

std::optional<std::vector<FakeEvent>> key_events(const KeyChange& change) {
  if (change.linux_key + kEvdevKeycodeOffset > kLargestKeycode) return std::nullopt;
  const std::uint8_t type = change.down ? event_type::key_press : event_type::key_release;
  return std::vector<FakeEvent>{{type, static_cast<std::uint8_t>(change.linux_key + kEvdevKeycodeOffset)}};
}

}  // namespace

std::optional<std::vector<FakeEvent>> fake_events_for(const InputChanges& changes) {
  if (const auto* pointer = std::get_if<PointerChanges>(&changes)) return pointer_events(*pointer);
  return key_events(std::get<KeyChange>(changes));
}

std::vector<FakeEvent> releases_of_presses(std::span<const FakeEvent> events) {
  std::vector<FakeEvent> releases;
  for (const FakeEvent& event : events) {
    if (event.type != event_type::key_press && event.type != event_type::button_press) continue;
    const std::uint8_t type = event.type == event_type::key_press ? event_type::key_release : event_type::button_release;
    const FakeEvent release{type, event.detail};
    if (std::find(releases.begin(), releases.end(), release) == releases.end()) releases.push_back(release);
  }
  return releases;
}

}  // namespace ondrel::linux::x11
