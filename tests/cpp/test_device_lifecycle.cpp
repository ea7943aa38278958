#include <gtest/gtest.h>

#include "devices/mouse.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::recording_factory;

class DeviceLifecycle : public ::testing::Test {
 protected:
  std::shared_ptr<BackendLog> log = std::make_shared<BackendLog>();
  MouseDevice mouse{recording_factory(log)};
};

TEST_F(DeviceLifecycle, SecondCreateFailsAndKeepsBackend) {
  ASSERT_TRUE(mouse.create().ok());
  const HidResult again = mouse.create();
  ASSERT_FALSE(again.ok());
  EXPECT_EQ(again.error().display(), "Device already exists");
  EXPECT_EQ(log->backends_created, 1);
  EXPECT_TRUE(mouse.press(MouseButton::Left).ok());
}

TEST_F(DeviceLifecycle, OperationWithoutBackendFailsButKeepsEdit) {
  const HidResult result = mouse.press(MouseButton::Right);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Device not created");
  EXPECT_EQ(mouse.report().buttons, 0x02);
}

TEST_F(DeviceLifecycle, DestroyTwiceFailsTheSecondTime) {
  ASSERT_TRUE(mouse.create().ok());
  EXPECT_TRUE(mouse.destroy().ok());
  const HidResult second = mouse.destroy();
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(second.error().display(), "Device not created");
  EXPECT_EQ(log->destroy_calls, 1);
}

TEST_F(DeviceLifecycle, RecreateInstallsNewBackendAndKeepsReport) {
  ASSERT_TRUE(mouse.create().ok());
  ASSERT_TRUE(mouse.press(MouseButton::Left).ok());
  ASSERT_TRUE(mouse.destroy().ok());
  ASSERT_TRUE(mouse.create().ok());
  EXPECT_EQ(log->backends_created, 2);
  EXPECT_EQ(mouse.report().buttons, 0x01);
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
