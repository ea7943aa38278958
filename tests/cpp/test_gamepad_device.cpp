#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "platform/platform_backends.h"
#include "platform/recorder/recorder.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::milliseconds_between;
using testing::recording_factory;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kA = bit(GamepadButton::A);
constexpr std::uint16_t kB = bit(GamepadButton::B);
constexpr std::uint16_t kDpadRight = bit(GamepadButton::DpadRight);

const Bytes kNeutral = {0x00, 0x00, 0x80, 0x80, 0x80, 0x80, 0x00, 0x00};

Bytes bytes_of(const GamepadReport& report) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(&report);
  return Bytes(first, first + sizeof report);
}

class GamepadDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pad.create().ok()); }
  std::vector<Bytes> sent() const {
    std::vector<Bytes> out;
    for (const auto& r : log->reports) out.push_back(r.bytes);
    return out;
  }

  std::shared_ptr<BackendLog> log = std::make_shared<BackendLog>();
  GamepadDevice pad{recording_factory(log)};
};

TEST_F(GamepadDeviceTest, ButtonsGoLowByteFirst) {
  ASSERT_TRUE(pad.press(kA).ok());
  ASSERT_TRUE(pad.press(kDpadRight).ok());
  ASSERT_TRUE(pad.press(kDpadRight).ok());  // already set: still one report
  ASSERT_TRUE(pad.release(kA).ok());
  ASSERT_TRUE(pad.release(kA).ok());  // already clear: still one report
  EXPECT_EQ(sent(), (std::vector<Bytes>{{0x01, 0x00, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x01, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x01, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x00, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x00, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0}}));
}

TEST_F(GamepadDeviceTest, TapHoldsAtLeastFiftyMilliseconds) {
  ASSERT_TRUE(pad.tap(kA).ok());
  ASSERT_EQ(sent(), (std::vector<Bytes>{{0x01, 0x00, 0x80, 0x80, 0x80, 0x80, 0, 0}, kNeutral}));
  EXPECT_GE(milliseconds_between(log->reports[0], log->reports[1]), 50.0);
}

TEST_F(GamepadDeviceTest, TapOfHeldButtonEndsReleasedAndKeepsOthers) {
  ASSERT_TRUE(pad.press(kA | kB).ok());
  log->reports.clear();
  ASSERT_TRUE(pad.tap(kA).ok());
  ASSERT_EQ(log->reports.size(), 2u);
  EXPECT_EQ(log->reports[0].bytes[0], 0x03);
  EXPECT_EQ(log->reports[1].bytes[0], 0x02);
}

TEST_F(GamepadDeviceTest, FailedTapPressLeavesBitsSet) {
  log->fail_on_report = 1;
  const HidResult result = pad.tap(kB);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
  EXPECT_EQ(pad.report().buttons(), kB);
  EXPECT_TRUE(log->reports.empty());
}

TEST_F(GamepadDeviceTest, SticksAndTriggersAreStoredAsGiven) {
  ASSERT_TRUE(pad.left_stick(0, 255).ok());
  ASSERT_TRUE(pad.right_stick(1, 254).ok());
  ASSERT_TRUE(pad.left_trigger(10).ok());
  ASSERT_TRUE(pad.right_trigger(20).ok());
  EXPECT_EQ(sent(), (std::vector<Bytes>{{0, 0, 0, 255, 0x80, 0x80, 0, 0},
                                        {0, 0, 0, 255, 1, 254, 0, 0},
                                        {0, 0, 0, 255, 1, 254, 10, 0},
                                        {0, 0, 0, 255, 1, 254, 10, 20}}));
}

TEST_F(GamepadDeviceTest, ResetSendsNeutralReport) {
  ASSERT_TRUE(pad.press(0x7FFF).ok());
  ASSERT_TRUE(pad.left_stick(3, 4).ok());
  ASSERT_TRUE(pad.right_trigger(99).ok());
  ASSERT_TRUE(pad.reset().ok());
  EXPECT_EQ(sent().back(), kNeutral);
  EXPECT_EQ(bytes_of(pad.report()), kNeutral);
}

struct Operation {
  const char* name;
  std::function<HidResult(GamepadDevice&)> run;
  Bytes report_after;
};

TEST(GamepadWithoutBackend, EveryOperationFailsAndKeepsItsEdit) {
  const Operation operations[] = {
      {"press", [](GamepadDevice& p) { return p.press(kA); }, {1, 0, 0x80, 0x80, 0x80, 0x80, 0, 0}},
      {"release", [](GamepadDevice& p) { return p.release(kA); }, kNeutral},
      {"tap", [](GamepadDevice& p) { return p.tap(kDpadRight); }, {0, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0}},
      {"left_stick", [](GamepadDevice& p) { return p.left_stick(1, 2); }, {0, 0, 1, 2, 0x80, 0x80, 0, 0}},
      {"right_stick", [](GamepadDevice& p) { return p.right_stick(3, 4); }, {0, 0, 0x80, 0x80, 3, 4, 0, 0}},
      {"left_trigger", [](GamepadDevice& p) { return p.left_trigger(5); }, {0, 0, 0x80, 0x80, 0x80, 0x80, 5, 0}},
      {"right_trigger", [](GamepadDevice& p) { return p.right_trigger(6); }, {0, 0, 0x80, 0x80, 0x80, 0x80, 0, 6}},
      {"reset", [](GamepadDevice& p) { return p.reset(); }, kNeutral},
  };
  for (const Operation& op : operations) {
    GamepadDevice pad(recording_factory(std::make_shared<BackendLog>()));
    const HidResult result = op.run(pad);
    ASSERT_FALSE(result.ok()) << op.name;
    EXPECT_EQ(result.error().display(), "Device not created") << op.name;
    EXPECT_EQ(bytes_of(pad.report()), op.report_after) << op.name;
  }
}

#ifndef _WIN32
// Turns the recorder's gamepad switch on for one scope.
class GamepadSwitch {
 public:
  GamepadSwitch() { ondrel_recorder_gamepad(1); }
  ~GamepadSwitch() { ondrel_recorder_gamepad(0); }
};

TEST(PlatformGamepad, CreateIsRefusedEveryTimeUntilABackendExists) {
  GamepadDevice pad(platform_gamepad_factory(), "pad");
  for (int attempt = 0; attempt < 3; ++attempt) {
    const HidResult result = pad.create();
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), "Platform not supported: Windows gamepad requires ViGEmBus driver");
    EXPECT_FALSE(pad.created());
  }
  EXPECT_FALSE(pad.destroy().ok());
  EXPECT_FALSE(pad.press(kB).ok());

  ondrel_recorder_start();
  {
    const GamepadSwitch on;
    ASSERT_TRUE(pad.create().ok());
  }
  ASSERT_TRUE(pad.press(kA).ok());  // the back end outlives the switch
  const std::string journal = ondrel_recorder_events();
  EXPECT_NE(journal.find(R"("type":"gamepad_report","bytes":[3,0,128,128,128,128,0,0])"), std::string::npos) << journal;
  EXPECT_TRUE(pad.destroy().ok());
  EXPECT_FALSE(pad.create().ok());  // switch off: refused again
  ondrel_recorder_stop();
}
#endif

}  // namespace
}  // namespace ondrel
