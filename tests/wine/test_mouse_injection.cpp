// WindowsMouseBackend against user32's SendInput: what the low-level mouse
// hook and a window receive.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/windows/mouse_backend.h"
#include "support/input_observer.h"

namespace ondrel {
namespace {

using Strings = std::vector<std::string>;
using Report = std::vector<std::uint8_t>;
using wine_testing::InputObserver;

class MouseInjectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(observer.ready()); }

  // Sends the reports one after the other, as a device would.
  void send(const std::vector<Report>& reports) {
    const HidResult result = observer.observe([&]() -> HidResult {
      for (const Report& report : reports) ONDREL_TRY(backend.send_report(report));
      return HidResult::success();
    });
    ASSERT_TRUE(result.ok()) << result.error().display();
    EXPECT_TRUE(observer.all_injected());
  }

  InputObserver observer;
  WindowsMouseBackend backend;
};

struct ButtonCase {
  const char* name;
  std::uint8_t bit;
};

void PrintTo(const ButtonCase& button, std::ostream* out) { *out << button.name; }

class MouseButtonInjectionTest : public MouseInjectionTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(MouseButtonInjectionTest, PressAndReleaseArrive) {
  const std::string name = GetParam().name;
  send({{GetParam().bit, 0, 0, 0}, {GetParam().bit, 0, 0, 0}, {0, 0, 0, 0}});
  const Strings expected = {name + " down", name + " up"};
  EXPECT_EQ(observer.hook_mouse(), expected);
  EXPECT_EQ(observer.window_mouse(), expected);
}

INSTANTIATE_TEST_SUITE_P(Buttons, MouseButtonInjectionTest,
                         ::testing::Values(ButtonCase{"left", 0x01}, ButtonCase{"right", 0x02},
                                           ButtonCase{"middle", 0x04}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MouseInjectionTest, WheelTurnsByWholeNotches) {
  send({{0, 0, 0, 0xFE}, {0, 0, 0, 0x01}});
  EXPECT_EQ(observer.hook_mouse(), (Strings{"wheel -240", "wheel 120"}));
  EXPECT_EQ(observer.window_mouse(), (Strings{"wheel -240", "wheel 120"}));
}

TEST_F(MouseInjectionTest, ReportPlaysMotionThenButtonsThenWheel) {
  send({{0x07, 5, 0xFD, 0xFE}, {0x00, 0, 0, 0}});
  EXPECT_EQ(observer.hook_mouse(), (Strings{"move", "left down", "right down", "middle down", "wheel -240",
                                            "left up", "right up", "middle up"}));
}

TEST_F(MouseInjectionTest, MotionIsRelative) {
  struct Step {
    std::int8_t dx;
    std::int8_t dy;
  };
  const std::vector<Step> steps = {{5, -3}, {-7, 4}, {127, -128}, {-128, 127}, {0, 1}, {-1, 0}};
  std::vector<Report> reports;
  for (const Step& step : steps)
    reports.push_back({0, static_cast<std::uint8_t>(step.dx), static_cast<std::uint8_t>(step.dy), 0});
  send(reports);

  POINT expected = wine_testing::screen_centre();
  const std::vector<POINT> points = observer.hook_points();
  ASSERT_EQ(points.size(), steps.size());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    expected.x += steps[i].dx;
    expected.y += steps[i].dy;
    EXPECT_EQ(points[i].x, expected.x) << "move " << i;
    EXPECT_EQ(points[i].y, expected.y) << "move " << i;
  }
}

}  // namespace
}  // namespace ondrel
