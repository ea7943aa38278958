#include <gtest/gtest.h>

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
  InputChange change;
  std::optional<Events> expected;  // nullopt: refused
};

TEST(X11FakeEvents, ChangesPlayAsRelativeMotionButtonsWheelClicksAndEvdevKeycodes) {
  const EncodeCase cases[] = {
      {"move", PointerMotion{5, -3}, Events{motion(5, -3)}},
      {"move past 16 bits", PointerMotion{70000, -70000}, Events{motion(32767, -32767)}},
      {"left down", ButtonChange{left, true}, Events{press(1)}},
      {"right up", ButtonChange{right, false}, Events{release(3)}},
      {"middle down", ButtonChange{middle, true}, Events{press(2)}},
      {"wheel away", WheelTurn{2}, Events{press(4), release(4), press(4), release(4)}},
      {"wheel toward", WheelTurn{-1}, Events{press(5), release(5)}},
      {"A down", KeyChange{0x04, true}, Events{key_press(38)}},
      {"left Control up", KeyChange{0xE0, false}, Events{key_release(37)}},
      {"a usage without a key", KeyChange{0x32, true}, std::nullopt},
  };
  for (const EncodeCase& test : cases) EXPECT_EQ(fake_events_for(test.change), test.expected) << test.name;
}

TEST(X11FakeEvents, WhatEventsPressedIsReleasedOnce) {
  const Events events = {motion(1, 1), key_press(38), key_release(38), press(4), release(4), press(4), press(1)};
  EXPECT_EQ(releases_of_presses(events), (Events{key_release(38), release(4), release(1)}));
}

}  // namespace
}  // namespace ondrel::linux::x11

#endif
