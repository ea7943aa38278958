#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "devices/keyboard.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::Bytes;
using testing::milliseconds_between;
using testing::recording_factory;
using Reports = std::vector<Bytes>;
using KeyboardDeviceTest = testing::RecordedDeviceTest<KeyboardDevice>;

constexpr std::uint8_t kA = 0x04;
constexpr std::uint8_t kC = 0x06;
constexpr std::uint8_t kX = 0x1B;

// A report as bytes: modifiers, reserved 0, then the given slots.
Bytes report(std::uint8_t modifiers, std::initializer_list<std::uint8_t> keys = {}) {
  Bytes bytes(8, 0);
  bytes[0] = modifiers;
  std::copy(keys.begin(), keys.end(), bytes.begin() + 2);
  return bytes;
}

TEST_F(KeyboardDeviceTest, PressAndComboHoldTheKeyTenMilliseconds) {
  struct Case {
    std::function<HidResult(KeyboardDevice&)> operation;
    Reports reports;
    std::size_t key_report;  // the report with the key, followed by the one without it
  };
  const Case cases[] = {
      {[](KeyboardDevice& k) { return k.press(kA); }, {report(0, {kA}), report(0)}, 0},
      {[](KeyboardDevice& k) { return k.combo(0x03, kC); },
       {report(0x03), report(0x03, {kC}), report(0x03), report(0)}, 1},
      {[](KeyboardDevice& k) { return k.combo(0x00, kX); }, {report(0), report(0, {kX}), report(0), report(0)}, 1},
      {[](KeyboardDevice& k) { return k.combo(0x0F, kA); },
       {report(0x0F), report(0x0F, {kA}), report(0x0F), report(0)}, 1},
  };
  for (const Case& c : cases) {
    log->reports.clear();
    ASSERT_TRUE(c.operation(device).ok());
    ASSERT_EQ(sent(), c.reports);
    EXPECT_GE(milliseconds_between(log->reports[c.key_report], log->reports[c.key_report + 1]), 10.0);
  }
}

TEST_F(KeyboardDeviceTest, SlotsStayWhereKeysWerePutUntilReleaseAll) {
  ASSERT_TRUE(device.key_down(kA).ok());
  ASSERT_TRUE(device.key_down(kA).ok());
  ASSERT_TRUE(device.key_down(kC).ok());
  ASSERT_TRUE(device.key_up(kA).ok());
  ASSERT_TRUE(device.key_down(kX).ok());
  ASSERT_TRUE(device.key_up(0x52).ok());  // not down: sent unchanged
  ASSERT_TRUE(device.press(kA).ok());     // a held key: a second copy goes down, the first comes up
  ASSERT_TRUE(device.release_all().ok());
  EXPECT_EQ(sent(), (Reports{report(0, {kA}), report(0, {kA, kA}), report(0, {kA, kA, kC}), report(0, {0, kA, kC}),
                             report(0, {kX, kA, kC}), report(0, {kX, kA, kC}), report(0, {kX, kA, kC, kA}),
                             report(0, {kX, 0, kC, kA}), report(0)}));
  ASSERT_TRUE(device.release_all().ok());
  EXPECT_EQ(sent().back(), report(0)) << "one empty report, also when nothing is down";
}

TEST_F(KeyboardDeviceTest, ComboAfterAFailedComboPressesOnlyItsOwnModifiers) {
  log->fail_on_send = 1;  // the failed combination takes Shift and Alt back
  ASSERT_FALSE(device.combo(0x06, kC).ok());
  log->fail_on_send = 0;
  ASSERT_TRUE(device.key_down(kX).ok());
  log->reports.clear();
  ASSERT_TRUE(device.combo(0x03, kC).ok());
  EXPECT_EQ(sent(), (Reports{report(0x03, {kX}), report(0x03, {kX, kC}), report(0x03, {kX}), report(0x00, {kX})}));
}

TEST(KeyboardDeviceFailures, FourReportSequencesStopAtTheFailedSendAndTakeBackWhatTheyPressed) {
  const std::function<HidResult(KeyboardDevice&)> operations[] = {
      [](KeyboardDevice& k) { return k.combo(0x05, kC); },
      [](KeyboardDevice& k) { return k.type_text("Ab"); },
  };
  for (const auto& operation : operations) {
    for (int failing = 1; failing <= 4; ++failing) {
      auto log = std::make_shared<BackendLog>();
      log->fail_on_send = failing;
      KeyboardDevice keyboard(recording_factory(log));
      ASSERT_TRUE(keyboard.create().ok());
      const HidResult result = operation(keyboard);
      ASSERT_FALSE(result.ok());
      EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
      ASSERT_EQ(log->reports.size(), static_cast<std::size_t>(failing)) << "the sends before it, then one more";
      EXPECT_EQ(log->reports.back().bytes, report(0)) << "failing send " << failing;
      EXPECT_EQ(keyboard.report().modifiers, 0);
      EXPECT_EQ(keyboard.report().keys, KeyboardReport{}.keys);
    }
  }
}

TEST_F(KeyboardDeviceTest, TypesOnlyTheAsciiCharactersOfAnyBytes) {
  const std::pair<std::string_view, Reports> cases[] = {
      {"", {}},
      {"\xC3\xA9\xE2\x82\xAC\r\x7F", {}},
      {std::string_view("\xFF\xC1\x81\xED\xA0\x80\xF4\x90", 8), {}},
      {"\xE2\x82" "a\xC1\x81", {report(0, {kA}), report(0)}},  // a truncated sequence, an overlong "A"
  };
  for (const auto& [text, reports] : cases) {
    log->reports.clear();
    EXPECT_TRUE(device.type_text(text).ok());
    EXPECT_EQ(sent(), reports);
  }
}

TEST_F(KeyboardDeviceTest, TypingKeepsHeldKeys) {
  ASSERT_TRUE(device.key_down(kX).ok());
  log->reports.clear();
  ASSERT_TRUE(device.type_text("aB").ok());
  EXPECT_EQ(sent(), (Reports{report(0, {kX, kA}), report(0, {kX}),  //
                             report(0x02, {kX}), report(0x02, {kX, 0x05}), report(0x02, {kX}), report(0, {kX})}));
}

TEST_F(KeyboardDeviceTest, TypingLastsFifteenMillisecondsPerCharacter) {
  const std::string_view text = "ab C\n";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(device.type_text(text).ok());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15 * text.size()));
  EXPECT_EQ(log->reports.size(), 2 * text.size() + 2);
}

}  // namespace
}  // namespace ondrel
