#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/input_change.h"

namespace ondrel::linux::x11 {

// The core event types that XTEST fakes.
namespace event_type {
inline constexpr std::uint8_t key_press = 2;
inline constexpr std::uint8_t key_release = 3;
inline constexpr std::uint8_t button_press = 4;
inline constexpr std::uint8_t button_release = 5;
inline constexpr std::uint8_t motion = 6;
}  // namespace event_type

// One XTEST FakeInput request. Motion is relative (detail 1), by dx, dy, or
// absolute (detail 0), to the point dx, dy of the screen whose root window
// is `root` (0: the screen the pointer is on).
struct FakeEvent {
  std::uint8_t type;
  std::uint8_t detail;
  std::int16_t dx = 0;
  std::int16_t dy = 0;
  std::uint32_t root = 0;
  bool operator==(const FakeEvent&) const = default;
};

// The fake events that play a change on an X display with evdev keycodes;
// nullopt when X has no equivalent (a key beyond X's keycodes or outside the
// key table).
std::optional<std::vector<FakeEvent>> fake_events_for(const InputChange& change);

// The release of every key or button that `events` press.
std::vector<FakeEvent> releases_of_presses(std::span<const FakeEvent> events);

}  // namespace ondrel::linux::x11
