#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "devices/mouse.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::Bytes;
using testing::milliseconds_between;
using MouseDeviceTest = testing::RecordedDeviceTest<MouseDevice>;

TEST_F(MouseDeviceTest, ClicksPauseTenAndDoubleClicksTenFiftyTen) {
  ASSERT_TRUE(device.click(MouseButton::Middle).ok());
  ASSERT_EQ(sent(), (std::vector<Bytes>{{0x04, 0, 0, 0}, {0x00, 0, 0, 0}}));
  EXPECT_GE(milliseconds_between(log->reports[0], log->reports[1]), 10.0);

  ASSERT_TRUE(device.press(MouseButton::Right).ok());
  log->reports.clear();
  ASSERT_TRUE(device.double_click(MouseButton::Left).ok());
  ASSERT_EQ(sent(), (std::vector<Bytes>{{0x03, 0, 0, 0}, {0x02, 0, 0, 0}, {0x03, 0, 0, 0}, {0x02, 0, 0, 0}}));
  const auto& r = log->reports;
  EXPECT_GE(milliseconds_between(r[0], r[1]), 10.0);
  EXPECT_GE(milliseconds_between(r[1], r[2]), 50.0);
  EXPECT_GE(milliseconds_between(r[2], r[3]), 10.0);
}

// A motion or wheel turn lost to a failed send is delivered once by the next
// accepted report, whichever operation sends it, and never again.
TEST_F(MouseDeviceTest, FailedMotionAndWheelAreDroppedAndNeverDeliveredLater) {
  log->fail_on_send = 1;
  ASSERT_FALSE(device.move_by(100, -2).ok());
  EXPECT_EQ(device.report().dx, 0);
  log->fail_on_send = log->sends + 2;  // the second report of a stepped move
  const HidResult result = device.move_by(300, 0);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
  log->fail_on_send = log->sends + 1;
  ASSERT_FALSE(device.scroll(3).ok());
  EXPECT_EQ(device.report().wheel, 0);
  log->fail_on_send = log->sends + 1;
  ASSERT_FALSE(device.click(MouseButton::Right).ok());
  ASSERT_TRUE(device.click(MouseButton::Left).ok());

  int sum_dx = 0, sum_dy = 0, sum_wheel = 0;
  for (const auto& report : log->reports) {
    sum_dx += static_cast<std::int8_t>(report.bytes[1]);
    sum_dy += static_cast<std::int8_t>(report.bytes[2]);
    sum_wheel += static_cast<std::int8_t>(report.bytes[3]);
  }
  EXPECT_EQ(sum_dx, 100) << "only the first step of the second move went in";
  EXPECT_EQ(sum_dy, 0);
  EXPECT_EQ(sum_wheel, 0);
  EXPECT_EQ(log->sent().back(), (Bytes{0, 0, 0, 0})) << "the right button never stays in the report";
  EXPECT_EQ(device.report().buttons, 0);
}

// (dx, dy, expected report count)
class MoveByTest : public MouseDeviceTest,
                   public ::testing::WithParamInterface<std::tuple<std::int32_t, std::int32_t, std::size_t>> {};

TEST_P(MoveByTest, ReportsAddUpExactlyWithinStepLimit) {
  const auto [dx, dy, expected_reports] = GetParam();
  ASSERT_TRUE(device.move_by(dx, dy).ok());
  ASSERT_EQ(log->reports.size(), expected_reports);
  std::int64_t sum_x = 0;
  std::int64_t sum_y = 0;
  int previous_x = 128;
  for (const auto& report : log->reports) {
    const auto x = static_cast<std::int8_t>(report.bytes[1]);
    const auto y = static_cast<std::int8_t>(report.bytes[2]);
    EXPECT_EQ(report.bytes[0] | report.bytes[3], 0);
    EXPECT_LE(std::abs(x), 127);
    EXPECT_LE(std::abs(y), 127);
    EXPECT_GE(x * static_cast<std::int64_t>(dx), 0) << "sign of x";
    EXPECT_GE(y * static_cast<std::int64_t>(dy), 0) << "sign of y";
    EXPECT_LE(std::abs(x), std::abs(previous_x)) << "earlier reports take the extra unit";
    previous_x = x;
    sum_x += x;
    sum_y += y;
  }
  EXPECT_EQ(sum_x, dx);
  EXPECT_EQ(sum_y, dy);
  EXPECT_EQ(device.report().dx, 0);
  EXPECT_EQ(device.report().dy, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, MoveByTest,
    ::testing::Values(std::make_tuple(0, 0, 1u), std::make_tuple(127, 0, 1u), std::make_tuple(128, 0, 2u),
                      std::make_tuple(129, 0, 2u), std::make_tuple(254, -254, 2u), std::make_tuple(255, 0, 3u),
                      std::make_tuple(-300, 0, 3u), std::make_tuple(1000, 3, 8u), std::make_tuple(5, -1000, 8u),
                      std::make_tuple(-1, 1, 1u)));

TEST(MouseMoveExtremes, FullInt32RangeAddsUpWithoutOverflow) {
  std::int64_t x = 0, y = 0, count = 0;
  MouseDevice mouse(testing::callback_factory([&](std::span<const std::uint8_t> report) {
    x += static_cast<std::int8_t>(report[1]);
    y += static_cast<std::int8_t>(report[2]);
    ++count;
    return HidResult::success();
  }));
  ASSERT_TRUE(mouse.create().ok());
  ASSERT_TRUE(mouse.move_by(-2147483647 - 1, 2147483647).ok());
  EXPECT_EQ(x, -2147483648LL);
  EXPECT_EQ(y, 2147483647LL);
  EXPECT_EQ(count, 16909321);  // ceil(2^31 / 127)
}

TEST(MouseButtonNames, MethodLowerCasesActionDoesNot) {
  struct Case {
    const char* name;
    MouseButton method_button;
    MouseButton action_button;
  };
  const Case cases[] = {
      {"right", MouseButton::Right, MouseButton::Right},   {"RIGHT", MouseButton::Right, MouseButton::Left},
      {"Middle", MouseButton::Middle, MouseButton::Left},  {"middle", MouseButton::Middle, MouseButton::Middle},
      {"center", MouseButton::Left, MouseButton::Left},    {"left ", MouseButton::Left, MouseButton::Left},
      {"", MouseButton::Left, MouseButton::Left},          {"r\xC3\xAFght", MouseButton::Left, MouseButton::Left},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mouse_button_from_name(c.name), c.method_button) << c.name;
    EXPECT_EQ(mouse_button_from_action(std::string(c.name)), c.action_button) << c.name;
  }
  EXPECT_EQ(mouse_button_from_action(std::nullopt), MouseButton::Left);
}

}  // namespace
}  // namespace ondrel
