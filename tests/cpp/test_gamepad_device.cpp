#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "platform/platform_backends.h"
#include "platform/recorder/api.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::Bytes;
using testing::recording_factory;
using GamepadDeviceTest = testing::RecordedDeviceTest<GamepadDevice>;

constexpr std::uint16_t kA = bit(GamepadButton::A);
constexpr std::uint16_t kB = bit(GamepadButton::B);
constexpr std::uint16_t kDpadRight = bit(GamepadButton::DpadRight);

const Bytes kNeutral = {0x00, 0x00, 0x80, 0x80, 0x80, 0x80, 0x00, 0x00};

Bytes bytes_of(const GamepadReport& report) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(&report);
  return Bytes(first, first + sizeof report);
}

TEST_F(GamepadDeviceTest, ButtonsGoLowByteFirstAndRepeatsAreStillSent) {
  ASSERT_TRUE(device.press(kA).ok());
  ASSERT_TRUE(device.press(kDpadRight).ok());
  ASSERT_TRUE(device.press(kDpadRight).ok());
  ASSERT_TRUE(device.release(kA).ok());
  ASSERT_TRUE(device.release(kA).ok());
  EXPECT_EQ(sent(), (std::vector<Bytes>{{0x01, 0x00, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x01, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x01, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x00, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0},
                                        {0x00, 0x40, 0x80, 0x80, 0x80, 0x80, 0, 0}}));
}

// A failed operation takes back what it pressed or moved, lets go of what
// it released, and sends that report once more.
TEST(GamepadDeviceFailures, EveryOperationTakesBackItsEditWhenTheSendFails) {
  const Bytes before = {0x02, 0, 10, 20, 0x80, 0x80, 0, 0};  // B down, left stick moved
  const Bytes released = {0x00, 0, 10, 20, 0x80, 0x80, 0, 0};
  struct Operation {
    const char* name;
    std::function<HidResult(GamepadDevice&)> run;
    const Bytes& report_after;
  };
  const Operation operations[] = {
      {"press", [](GamepadDevice& p) { return p.press(kA); }, before},
      {"release", [](GamepadDevice& p) { return p.release(kB); }, released},
      {"tap", [](GamepadDevice& p) { return p.tap(kDpadRight); }, before},
      {"left_stick", [](GamepadDevice& p) { return p.left_stick(1, 2); }, before},
      {"right_stick", [](GamepadDevice& p) { return p.right_stick(3, 4); }, before},
      {"left_trigger", [](GamepadDevice& p) { return p.left_trigger(5); }, before},
      {"right_trigger", [](GamepadDevice& p) { return p.right_trigger(6); }, before},
      {"reset", [](GamepadDevice& p) { return p.reset(); }, released},
  };
  for (const auto& [name, run, expected] : operations) {
    auto log = std::make_shared<BackendLog>();
    GamepadDevice pad(recording_factory(log));
    ASSERT_TRUE(pad.create().ok());
    ASSERT_TRUE(pad.press(kB).ok());
    ASSERT_TRUE(pad.left_stick(10, 20).ok());
    log->fail_on_send = 3;
    const HidResult result = run(pad);
    ASSERT_FALSE(result.ok()) << name;
    EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed") << name;
    EXPECT_EQ(bytes_of(pad.report()), expected) << name;
    EXPECT_EQ(log->sends, 4) << name << " stops at the failed send, then sends once more";
    EXPECT_EQ(log->sent().back(), expected) << name;
  }
}

#ifndef _WIN32
#ifdef __linux__
constexpr const char* kNoGamepad =
    "Platform not supported: the Linux gamepad needs a writable /dev/uinput (load the uinput module and grant "
    "write access, e.g. with a udev rule)";
#else
constexpr const char* kNoGamepad = "Platform not supported: Windows gamepad requires ViGEmBus driver";
#endif

// While the recorder is started a gamepad never reaches the system, which
// makes the refusal the same on every machine of a system.
TEST(PlatformGamepad, CreateIsRefusedEveryTimeUnlessTheRecorderSwitchIsOn) {
  ondrel_recorder_start();
  GamepadDevice pad(platform_gamepad_factory(), "pad");
  for (int attempt = 0; attempt < 3; ++attempt) {
    const HidResult result = pad.create();
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), kNoGamepad);
    EXPECT_FALSE(pad.created());
  }
  EXPECT_FALSE(pad.destroy().ok());
  EXPECT_FALSE(pad.press(kB).ok());  // takes B back out of the report

  ondrel_recorder_gamepad(1);
  const HidResult created = pad.create();
  ondrel_recorder_gamepad(0);
  ASSERT_TRUE(created.ok());
  ASSERT_TRUE(pad.press(kA).ok());  // the back end outlives the switch
  const std::string journal = ondrel_recorder_events();
  EXPECT_NE(journal.find(R"("type":"gamepad_report","bytes":[1,0,128,128,128,128,0,0])"), std::string::npos) << journal;
  EXPECT_TRUE(pad.destroy().ok());
  const HidResult switched_off = pad.create();
  ASSERT_FALSE(switched_off.ok());
  EXPECT_EQ(switched_off.error().display(), kNoGamepad);
  ondrel_recorder_stop();
}
#endif

}  // namespace
}  // namespace ondrel
