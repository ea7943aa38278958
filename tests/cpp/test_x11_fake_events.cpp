#include <gtest/gtest.h>

#include <limits>
#include <vector>

#ifdef __linux__

#include "platform/linux/x11/fake_events.h"

namespace ondrel::linux::x11 {
namespace {

using Events = std::vector<FakeEvent>;
using enum PointerButton;

constexpr FakeEvent press(std::uint8_t button) { return {event_type::button_press, button}; }
constexpr FakeEvent release(std::uint8_t button) { return {event_type::button_release, button}; }
constexpr FakeEvent key_press(std::uint8_t keycode) { return {event_type::key_press, keycode}; }
constexpr FakeEvent key_release(std::uint8_t keycode) { return {event_type::key_release, keycode}; }
constexpr FakeEvent motion(std::int16_t dx, std::int16_t dy) { return {event_type::motion, 1, dx, dy}; }

struct EncodeCase {
  const char* name;
  InputChanges changes;
  std::optional<Events> expected;  // nullopt: refused
};

TEST(X11FakeEvents, ChangesPlayAsRelativeMotionButtonsWheelClicksAndEvdevKeycodes) {
  const std::int32_t too_many_notches = (kMostWheelNotches + 1) * win32::kWheelDelta;
  const EncodeCase cases[] = {
      {"move", PointerChanges{5, -3, {}, 0}, Events{motion(5, -3)}},
      {"move past 16 bits", PointerChanges{70000, -70000, {}, 0}, Events{motion(32767, -32767)}},
      {"buttons", PointerChanges{0, 0, {{left, true}, {right, false}, {middle, true}}, 0},
       Events{press(1), release(3), press(2)}},
      {"wheel away", PointerChanges{0, 0, {}, 240}, Events{press(4), release(4), press(4), release(4)}},
      {"wheel toward", PointerChanges{0, 0, {}, -120}, Events{press(5), release(5)}},
      {"less than a notch", PointerChanges{0, 0, {}, 119}, Events{}},
      {"all at once", PointerChanges{1, 2, {{left, true}}, 120}, Events{motion(1, 2), press(1), press(4), release(4)}},
      {"too many notches", PointerChanges{0, 0, {}, too_many_notches}, std::nullopt},
      {"too many notches back", PointerChanges{0, 0, {}, std::numeric_limits<std::int32_t>::min()}, std::nullopt},
      {"A down", KeyChange{30, true}, Events{key_press(38)}},
      {"largest keycode up", KeyChange{247, false}, Events{key_release(255)}},
      {"beyond X's keycodes", KeyChange{248, true}, std::nullopt},
  };
  for (const EncodeCase& test : cases) EXPECT_EQ(fake_events_for(test.changes), test.expected) << test.name;
}

TEST(X11FakeEvents, WhatEventsPressedIsReleasedOnce) {
  const Events events = {motion(1, 1), key_press(38), key_release(38), press(4), release(4), press(4), press(1)};
  EXPECT_EQ(releases_of_presses(events), (Events{key_release(38), release(4), release(1)}));
}

}  // namespace
}  // namespace ondrel::linux::x11

#endif
