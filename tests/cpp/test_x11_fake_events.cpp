#include <gtest/gtest.h>

#include <limits>
#include <vector>

#ifdef __linux__

#include "platform/linux/x11_fake_events.h"

namespace ondrel::x11 {
namespace {

using Events = std::vector<FakeEvent>;

constexpr FakeEvent press(std::uint8_t button) { return {event_type::button_press, button}; }
constexpr FakeEvent release(std::uint8_t button) { return {event_type::button_release, button}; }
constexpr FakeEvent motion(std::int16_t dx, std::int16_t dy) { return {event_type::motion, 1, dx, dy}; }

win32::Input mouse(std::uint32_t flags, std::int32_t dx = 0, std::int32_t dy = 0, std::int32_t data = 0) {
  return win32::mouse_input(dx, dy, data, flags);
}

struct MouseCase {
  const char* name;
  win32::Input input;
  Events expected;
};

TEST(X11FakeEvents, MouseRecordsPlayAsRelativeMotionButtonsAndWheelClicks) {
  using namespace win32::mouse_flag;
  const MouseCase cases[] = {
      {"move", mouse(move, 5, -3), {motion(5, -3)}},
      {"move nowhere", mouse(move), {}},
      {"move past 16 bits", mouse(move, 70000, -70000), {motion(32767, -32767)}},
      {"left", mouse(left_down | left_up), {press(1), release(1)}},
      {"right", mouse(right_down | right_up), {press(3), release(3)}},
      {"middle", mouse(middle_down | middle_up), {press(2), release(2)}},
      {"wheel away", mouse(wheel, 0, 0, 240), {press(4), release(4), press(4), release(4)}},
      {"wheel toward", mouse(wheel, 0, 0, -120), {press(5), release(5)}},
      {"less than a notch", mouse(wheel, 0, 0, 119), {}},
      {"all at once, in Windows' order", mouse(move | right_down | left_down | wheel, 1, 2, 120),
       {motion(1, 2), press(1), press(3), press(4), release(4)}},
  };
  for (const MouseCase& test : cases) {
    EXPECT_EQ(fake_events_for(test.input), test.expected) << test.name;
  }
}

TEST(X11FakeEvents, RecordsWithoutAnXEquivalentAreRefused) {
  constexpr std::uint32_t absolute = 0x8000;
  constexpr std::uint32_t horizontal_wheel = 0x1000;
  constexpr std::uint32_t unicode = 0x0004;
  win32::Input hardware{};
  hardware.type = 2;
  const std::int32_t too_many_notches = (kMostWheelNotches + 1) * win32::kWheelDelta;
  for (const win32::Input& input :
       {mouse(win32::mouse_flag::move | absolute, 1, 1), mouse(horizontal_wheel, 0, 0, 120),
        mouse(win32::mouse_flag::wheel, 0, 0, too_many_notches), mouse(win32::mouse_flag::wheel, 0, 0, -too_many_notches),
        mouse(win32::mouse_flag::wheel, 0, 0, std::numeric_limits<std::int32_t>::min()),
        win32::keyboard_input(0x41, unicode), win32::keyboard_input(0x10, 0), win32::keyboard_input(0xFF, 0), hardware}) {
    EXPECT_EQ(fake_events_for(input), std::nullopt);
  }
}

}  // namespace
}  // namespace ondrel::x11

#endif
