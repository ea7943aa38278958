#include <gtest/gtest.h>

#include <climits>

#include "devices/mouse.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::recording_factory;

class DeviceLifecycle : public ::testing::Test {
 protected:
  static void expect_failure(const HidResult& result, const char* text) {
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), text);
  }

  std::shared_ptr<BackendLog> log = std::make_shared<BackendLog>();
  MouseDevice mouse{recording_factory(log)};
};

TEST_F(DeviceLifecycle, OneBackendAtATimeAndTheReportOutlivesIt) {
  ASSERT_TRUE(mouse.create().ok());
  expect_failure(mouse.create(), "Device already exists");
  ASSERT_TRUE(mouse.press(MouseButton::Left).ok());
  EXPECT_TRUE(mouse.destroy().ok());
  expect_failure(mouse.destroy(), "Device not created");
  EXPECT_EQ(log->destroy_calls, 1);
  ASSERT_TRUE(mouse.create().ok());
  EXPECT_EQ(log->backends_created, 2);
  EXPECT_EQ(mouse.report().buttons, 0x01);
}

TEST_F(DeviceLifecycle, OperationWithoutBackendFailsAndLeavesNothingForTheNextBackend) {
  expect_failure(mouse.press(MouseButton::Right), "Device not created");
  EXPECT_EQ(mouse.report().buttons, 0x00);
}

// A stop asked for between two reports ends the operation there; the
// report that takes back its button still goes out.
TEST_F(DeviceLifecycle, AStopRequestEndsAnOperationBetweenReportsAndTakesItBack) {
  static int checks_left;
  checks_left = 3;
  const StopCheckScope stop_after_three([] { return --checks_left < 0; });
  ASSERT_TRUE(mouse.create().ok());
  ASSERT_TRUE(mouse.press(MouseButton::Right).ok());
  expect_failure(mouse.move_by(INT32_MAX, 0), "Interrupted");
  EXPECT_EQ(log->sent(), (std::vector<testing::Bytes>{{2, 0, 0, 0}, {2, 127, 0, 0}, {2, 127, 0, 0}, {2, 0, 0, 0}}));
  expect_failure(mouse.click(MouseButton::Left), "Interrupted");
  EXPECT_EQ(log->sent().back(), (testing::Bytes{2, 0, 0, 0})) << "the right button was down before";
}

TEST_F(DeviceLifecycle, FailedCreateLeavesDeviceNotCreated) {
  log->fail_create = true;
  EXPECT_FALSE(mouse.create().ok());
  EXPECT_FALSE(mouse.created());
  log->fail_create = false;
  EXPECT_TRUE(mouse.create().ok());
}

}  // namespace
}  // namespace ondrel
