#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <tuple>

#include "devices/mouse.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::milliseconds_between;
using testing::recording_factory;
using Bytes = std::vector<std::uint8_t>;

class MouseDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(mouse.create().ok()); }
  std::vector<Bytes> sent() const {
    std::vector<Bytes> out;
    for (const auto& r : log->reports) out.push_back(r.bytes);
    return out;
  }

  std::shared_ptr<BackendLog> log = std::make_shared<BackendLog>();
  MouseDevice mouse{recording_factory(log)};
};

TEST_F(MouseDeviceTest, PressAndReleaseAccumulateButtons) {
  ASSERT_TRUE(mouse.press(MouseButton::Right).ok());
  ASSERT_TRUE(mouse.press(MouseButton::Left).ok());
  ASSERT_TRUE(mouse.release(MouseButton::Right).ok());
  EXPECT_EQ(sent(), (std::vector<Bytes>{{0x02, 0, 0, 0}, {0x03, 0, 0, 0}, {0x01, 0, 0, 0}}));
}

TEST_F(MouseDeviceTest, ClickHoldsAtLeastTenMilliseconds) {
  ASSERT_TRUE(mouse.click(MouseButton::Middle).ok());
  ASSERT_EQ(sent(), (std::vector<Bytes>{{0x04, 0, 0, 0}, {0x00, 0, 0, 0}}));
  EXPECT_GE(milliseconds_between(log->reports[0], log->reports[1]), 10.0);
}

TEST_F(MouseDeviceTest, ClickOfHeldButtonEndsWithButtonUp) {
  ASSERT_TRUE(mouse.press(MouseButton::Left).ok());
  ASSERT_TRUE(mouse.click(MouseButton::Left).ok());
  EXPECT_EQ(sent().back(), (Bytes{0x00, 0, 0, 0}));
}

TEST_F(MouseDeviceTest, DoubleClickPausesTenFiftyTen) {
  ASSERT_TRUE(mouse.press(MouseButton::Right).ok());
  log->reports.clear();
  ASSERT_TRUE(mouse.double_click(MouseButton::Left).ok());
  ASSERT_EQ(sent(), (std::vector<Bytes>{{0x03, 0, 0, 0}, {0x02, 0, 0, 0}, {0x03, 0, 0, 0}, {0x02, 0, 0, 0}}));
  const auto& r = log->reports;
  EXPECT_GE(milliseconds_between(r[0], r[1]), 10.0);
  EXPECT_GE(milliseconds_between(r[1], r[2]), 50.0);
  EXPECT_GE(milliseconds_between(r[2], r[3]), 10.0);
}

TEST_F(MouseDeviceTest, FailedPressStepOfClickLeavesBitSet) {
  log->fail_on_report = 1;
  const HidResult result = mouse.click(MouseButton::Left);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
  EXPECT_EQ(mouse.report().buttons, 0x01);
}

TEST_F(MouseDeviceTest, ScrollSendsWheelOnceThenClearsIt) {
  ASSERT_TRUE(mouse.scroll(-3).ok());
  EXPECT_EQ(sent(), (std::vector<Bytes>{{0, 0, 0, 0xFD}}));
  EXPECT_EQ(mouse.report().wheel, 0);
}

TEST_F(MouseDeviceTest, FailedScrollKeepsWheel) {
  log->fail_on_report = 1;
  EXPECT_FALSE(mouse.scroll(5).ok());
  EXPECT_EQ(mouse.report().wheel, 5);
}

TEST_F(MouseDeviceTest, FailedMoveKeepsThatReportsMotion) {
  log->fail_on_report = 2;
  EXPECT_FALSE(mouse.move_by(300, 0).ok());
  EXPECT_EQ(mouse.report().dx, 100);
}

TEST_F(MouseDeviceTest, ZeroMoveSendsOneEmptyReport) {
  ASSERT_TRUE(mouse.move_by(0, 0).ok());
  EXPECT_EQ(sent(), (std::vector<Bytes>{{0, 0, 0, 0}}));
}

// (dx, dy, expected report count)
class MoveByTest : public MouseDeviceTest,
                   public ::testing::WithParamInterface<std::tuple<std::int32_t, std::int32_t, std::size_t>> {};

TEST_P(MoveByTest, ReportsAddUpExactlyWithinStepLimit) {
  const auto [dx, dy, expected_reports] = GetParam();
  ASSERT_TRUE(mouse.move_by(dx, dy).ok());
  ASSERT_EQ(log->reports.size(), expected_reports);
  std::int64_t sum_x = 0;
  std::int64_t sum_y = 0;
  int previous_x = 128;
  for (const auto& report : log->reports) {
    const auto x = static_cast<std::int8_t>(report.bytes[1]);
    const auto y = static_cast<std::int8_t>(report.bytes[2]);
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
  EXPECT_EQ(mouse.report().dx, 0);
  EXPECT_EQ(mouse.report().dy, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, MoveByTest,
    ::testing::Values(std::make_tuple(127, 0, 1u), std::make_tuple(128, 0, 2u), std::make_tuple(129, 0, 2u),
                      std::make_tuple(254, -254, 2u), std::make_tuple(255, 0, 3u), std::make_tuple(-300, 0, 3u),
                      std::make_tuple(1000, 3, 8u), std::make_tuple(5, -1000, 8u), std::make_tuple(-1, 1, 1u)));

// Sums motion without keeping reports, for moves of millions of reports.
class SummingBackend final : public DeviceBackend {
 public:
  SummingBackend(std::int64_t& x, std::int64_t& y, std::int64_t& count) : x_(x), y_(y), count_(count) {}
  HidResult send_report(std::span<const std::uint8_t> report) override {
    x_ += static_cast<std::int8_t>(report[1]);
    y_ += static_cast<std::int8_t>(report[2]);
    ++count_;
    return HidResult::success();
  }
  HidResult destroy() override { return HidResult::success(); }

 private:
  std::int64_t& x_;
  std::int64_t& y_;
  std::int64_t& count_;
};

TEST(MouseMoveExtremes, FullInt32RangeAddsUpWithoutOverflow) {
  std::int64_t x = 0, y = 0, count = 0;
  MouseDevice mouse([&](std::unique_ptr<DeviceBackend>& out) {
    out = std::make_unique<SummingBackend>(x, y, count);
    return HidResult::success();
  });
  ASSERT_TRUE(mouse.create().ok());
  ASSERT_TRUE(mouse.move_by(-2147483647 - 1, 2147483647).ok());
  EXPECT_EQ(x, -2147483648LL);
  EXPECT_EQ(y, 2147483647LL);
  EXPECT_EQ(count, 16909321);  // ceil(2^31 / 127)
}

TEST_F(MouseDeviceTest, EvenSplitMatchesExamples) {
  ASSERT_TRUE(mouse.move_by(255, 0).ok());
  EXPECT_EQ(sent(), (std::vector<Bytes>{{0, 85, 0, 0}, {0, 85, 0, 0}, {0, 85, 0, 0}}));
}

struct ButtonNameCase {
  const char* name;
  MouseButton method_button;
  MouseButton action_button;
};

TEST(MouseButtonNames, MethodLowerCasesActionDoesNot) {
  const ButtonNameCase cases[] = {
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

namespace ondrel {
namespace {

// A motion or wheel turn lost to a failed send is delivered once by the next
// accepted report, whichever operation sends it, and never again.
TEST(MouseOneTimeEvents, LostMotionAndWheelAreRedeliveredExactlyOnce) {
  auto log = std::make_shared<testing::BackendLog>();
  MouseDevice mouse(testing::recording_factory(log));
  ASSERT_TRUE(mouse.create().ok());
  log->fail_on_report = 1;
  ASSERT_FALSE(mouse.move_by(100, -2).ok());
  log->fail_on_report = 0;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(mouse.press(MouseButton::Left).ok());
    ASSERT_TRUE(mouse.release(MouseButton::Left).ok());
  }
  log->fail_on_report = static_cast<int>(log->reports.size()) + 2;  // counts the refused send too
  ASSERT_FALSE(mouse.scroll(3).ok());
  log->fail_on_report = 0;
  ASSERT_TRUE(mouse.move_by(300, 0).ok());
  ASSERT_TRUE(mouse.click(MouseButton::Right).ok());

  int sum_dx = 0, sum_dy = 0, sum_wheel = 0;
  for (const auto& report : log->reports) {
    sum_dx += static_cast<std::int8_t>(report.bytes[1]);
    sum_dy += static_cast<std::int8_t>(report.bytes[2]);
    sum_wheel += static_cast<std::int8_t>(report.bytes[3]);
  }
  EXPECT_EQ(sum_dx, 400);
  EXPECT_EQ(sum_dy, -2);
  EXPECT_EQ(sum_wheel, 3);
  EXPECT_EQ(mouse.report().dx, 0);
  EXPECT_EQ(mouse.report().wheel, 0);
}

}  // namespace
}  // namespace ondrel
