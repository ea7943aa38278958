#include <gtest/gtest.h>

#include "platform/windows/mouse_backend.h"
#include "support/recorded_inputs.h"

namespace ondrel {
namespace {

using Strings = std::vector<std::string>;
using testing::recorded_inputs;

class WindowsMouseBackendTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::reset_recorded_inputs(); }
  HidResult send(std::vector<std::uint8_t> report) { return backend.send_report(report); }
  const Strings& events() { return recorded_inputs().events; }

  WindowsMouseBackend backend{testing::recording_send_input};
};

TEST_F(WindowsMouseBackendTest, UnchangedButtonsInjectNothing) {
  ASSERT_TRUE(send({0x01, 0, 0, 0}).ok());
  ASSERT_TRUE(send({0x01, 0, 0, 0}).ok());
  ASSERT_TRUE(send({0x00, 0, 0, 0}).ok());
  EXPECT_EQ(events(), (Strings{"left down", "left up"}));
}

TEST_F(WindowsMouseBackendTest, MotionThenButtonsThenWheel) {
  ASSERT_TRUE(send({0x07, 5, 0xFD, 0xFE}).ok());
  EXPECT_EQ(events(), (Strings{"move 5 -3", "left down", "right down", "middle down", "wheel -240"}));
  ASSERT_TRUE(send({0x00, 0, 0, 1}).ok());
  EXPECT_EQ(events(), (Strings{"move 5 -3", "left down", "right down", "middle down", "wheel -240", "left up",
                               "right up", "middle up", "wheel 120"}));
}

TEST_F(WindowsMouseBackendTest, UnknownButtonBitsAreRememberedButSilent) {
  ASSERT_TRUE(send({0x08, 0, 0, 0}).ok());
  EXPECT_TRUE(events().empty());
  EXPECT_EQ(backend.previous_buttons(), 0x08);
}

TEST_F(WindowsMouseBackendTest, ShortReportIsRefused) {
  const HidResult result = send({0x01, 0, 0});
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: Invalid mouse report");
  EXPECT_EQ(recorded_inputs().calls, 0);
  EXPECT_TRUE(send({0x00, 0, 0, 0, 0x55}).ok()) << "bytes after the fourth are ignored";
}

TEST_F(WindowsMouseBackendTest, FailedMotionKeepsPreviousButtons) {
  recorded_inputs().fail_on_call = 1;
  const HidResult result = send({0x01, 1, 0, 0});
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
  EXPECT_EQ(backend.previous_buttons(), 0x00);
  ASSERT_TRUE(send({0x01, 0, 0, 0}).ok());
  EXPECT_EQ(events(), (Strings{"left down"}));
}

TEST_F(WindowsMouseBackendTest, FailedButtonEventIsNotReplayed) {
  recorded_inputs().fail_on_call = 1;
  EXPECT_FALSE(send({0x03, 0, 0, 1}).ok());
  EXPECT_EQ(backend.previous_buttons(), 0x03);
  EXPECT_TRUE(events().empty()) << "the rest of the report is not injected";
  ASSERT_TRUE(send({0x03, 0, 0, 0}).ok());
  EXPECT_TRUE(events().empty());
}

TEST_F(WindowsMouseBackendTest, DestroyInjectsNothing) {
  ASSERT_TRUE(send({0x01, 0, 0, 0}).ok());
  EXPECT_TRUE(backend.destroy().ok());
  EXPECT_EQ(events(), (Strings{"left down"}));
}

}  // namespace
}  // namespace ondrel
