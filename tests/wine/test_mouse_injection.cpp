// The mouse transitions against user32's SendInput: what the low-level mouse
// hook and a window receive.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/mouse_transitions.h"
#include "support/input_observer.h"
#include "support/user32_sink.h"

namespace ondrel {
namespace {

using Strings = std::vector<std::string>;
using Report = std::vector<std::uint8_t>;

class MouseInjectionTest : public wine_testing::InjectionTest {
 protected:
  // Sends the reports one after the other, as a device would.
  void send(const std::vector<Report>& reports) {
    observe([&]() -> HidResult {
      for (const Report& report : reports) ONDREL_TRY(backend.send_report(report));
      return HidResult::success();
    });
  }

  MouseTransitions backend{wine_testing::user32_sink()};
};

TEST_F(MouseInjectionTest, EachButtonGoesDownAndUpOnce) {
  const std::pair<std::string, std::uint8_t> buttons[] = {{"left", 0x01}, {"right", 0x02}, {"middle", 0x04}};
  for (const auto& [name, bit] : buttons) {
    send({{bit, 0, 0, 0}, {bit, 0, 0, 0}, {0, 0, 0, 0}});
    const Strings expected = {name + " down", name + " up"};
    EXPECT_EQ(observer.seen.hook_mouse, expected);
    EXPECT_EQ(observer.seen.window_mouse, expected);
  }
}

TEST_F(MouseInjectionTest, ReportPlaysMotionThenButtonsThenWheelOfWholeNotches) {
  send({{0x07, 5, 0xFD, 0xFE}, {0x00, 0, 0, 0x01}});
  const Strings buttons_and_wheel = {"left down", "right down", "middle down", "wheel -240",
                                     "left up",   "right up",   "middle up",   "wheel 120"};
  Strings with_motion = buttons_and_wheel;
  with_motion.insert(with_motion.begin(), "move");
  EXPECT_EQ(observer.seen.hook_mouse, with_motion);
  EXPECT_EQ(observer.seen.window_mouse, buttons_and_wheel);
}

TEST_F(MouseInjectionTest, MotionIsRelative) {
  const std::vector<std::pair<std::int8_t, std::int8_t>> steps = {{5, -3},      {-7, 4}, {127, -128},
                                                                  {-128, 127}, {0, 1},  {-1, 0}};
  std::vector<Report> reports;
  for (const auto& [dx, dy] : steps)
    reports.push_back({0, static_cast<std::uint8_t>(dx), static_cast<std::uint8_t>(dy), 0});
  send(reports);

  POINT expected = wine_testing::screen_centre();
  const std::vector<POINT>& points = observer.seen.hook_points;
  ASSERT_EQ(points.size(), steps.size());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    expected.x += steps[i].first;
    expected.y += steps[i].second;
    EXPECT_EQ(points[i].x, expected.x) << "move " << i;
    EXPECT_EQ(points[i].y, expected.y) << "move " << i;
  }
}

}  // namespace
}  // namespace ondrel
