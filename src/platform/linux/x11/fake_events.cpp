#include "platform/linux/x11/fake_events.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/key_codes.h"
#include "platform/pointer_buttons.h"

namespace ondrel::linux::x11 {
namespace {

constexpr std::uint8_t kRelativeMotion = 1;
constexpr std::uint8_t kWheelAway = 4;
constexpr std::uint8_t kWheelToward = 5;
// X servers with evdev keycodes (Xorg, Xvfb, Xwayland) number keys from 8.
constexpr std::uint16_t kEvdevKeycodeOffset = 8;
constexpr std::uint16_t kLargestKeycode = 255;

// A relative move beyond X's 16-bit coordinates ends at the screen's edge
// either way, as it does on Windows.
std::int16_t clamp_to_coordinate(std::int32_t offset) {
  constexpr std::int32_t limit = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(std::clamp(offset, -limit, limit));
}

std::optional<std::vector<FakeEvent>> events_of(const PointerMotion& motion) {
  return std::vector<FakeEvent>{
      {event_type::motion, kRelativeMotion, clamp_to_coordinate(motion.dx), clamp_to_coordinate(motion.dy)}};
}

std::optional<std::vector<FakeEvent>> events_of(const ButtonChange& change) {
  const std::uint8_t type = change.down ? event_type::button_press : event_type::button_release;
  return std::vector<FakeEvent>{{type, codes_of(change.button).x_button}};
}

// X has no wheel axis in its core protocol: each notch is a click of button
// 4 (away from the user) or 5.
std::optional<std::vector<FakeEvent>> events_of(const WheelTurn& turn) {
  std::vector<FakeEvent> events;
  const std::uint8_t button = turn.notches > 0 ? kWheelAway : kWheelToward;
  for (std::int32_t i = 0; i < std::abs(turn.notches); ++i) {
    events.push_back({event_type::button_press, button});
    events.push_back({event_type::button_release, button});
  }
  return events;
}

std::optional<std::vector<FakeEvent>> events_of(const KeyChange& change) {
  const std::optional<KeyCodes> codes = codes_of_key(change.usage);
  if (!codes || codes->linux_key + kEvdevKeycodeOffset > kLargestKeycode) return std::nullopt;
  const std::uint8_t type = change.down ? event_type::key_press : event_type::key_release;
  return std::vector<FakeEvent>{{type, static_cast<std::uint8_t>(codes->linux_key + kEvdevKeycodeOffset)}};
}

}  // namespace

std::optional<std::vector<FakeEvent>> fake_events_for(const InputChange& change) {
  return std::visit([](const auto& one) { return events_of(one); }, change);
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
