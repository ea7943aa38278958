#include <gtest/gtest.h>

#include <chrono>

#include "devices/keyboard.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::milliseconds_between;
using testing::recording_factory;
using Bytes = std::vector<std::uint8_t>;
using Reports = std::vector<Bytes>;

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

class KeyboardDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(keyboard.create().ok()); }
  Reports sent() const {
    Reports out;
    for (const auto& r : log->reports) out.push_back(r.bytes);
    return out;
  }
  Bytes current() const {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&keyboard.report());
    return Bytes(bytes, bytes + sizeof(KeyboardReport));
  }

  std::shared_ptr<BackendLog> log = std::make_shared<BackendLog>();
  KeyboardDevice keyboard{recording_factory(log)};
};

TEST_F(KeyboardDeviceTest, PressHoldsKeyForTenMilliseconds) {
  ASSERT_TRUE(keyboard.press(kA).ok());
  ASSERT_EQ(sent(), (Reports{report(0, {kA}), report(0)}));
  EXPECT_GE(milliseconds_between(log->reports[0], log->reports[1]), 10.0);
}

TEST_F(KeyboardDeviceTest, PressWithAllSlotsTakenSendsUnchangedReportTwice) {
  for (std::uint8_t usage = 0x1E; usage < 0x24; ++usage) ASSERT_TRUE(keyboard.key_down(usage).ok());
  log->reports.clear();
  const Bytes full = report(0, {0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23});
  ASSERT_TRUE(keyboard.press(kA).ok());
  EXPECT_EQ(sent(), (Reports{full, full}));
  EXPECT_GE(milliseconds_between(log->reports[0], log->reports[1]), 10.0);
}

TEST_F(KeyboardDeviceTest, SlotsStayWhereKeysWerePut) {
  ASSERT_TRUE(keyboard.key_down(kA).ok());
  ASSERT_TRUE(keyboard.key_down(kA).ok());
  ASSERT_TRUE(keyboard.key_down(kC).ok());
  ASSERT_TRUE(keyboard.key_up(kA).ok());
  ASSERT_TRUE(keyboard.key_down(kX).ok());
  ASSERT_TRUE(keyboard.key_up(0x52).ok());  // not down: sent unchanged
  EXPECT_EQ(sent(), (Reports{report(0, {kA}), report(0, {kA, kA}), report(0, {kA, kA, kC}), report(0, {0, kA, kC}),
                             report(0, {kX, kA, kC}), report(0, {kX, kA, kC})}));
}

TEST_F(KeyboardDeviceTest, PressOfHeldKeyLeavesOneCopyDown) {
  ASSERT_TRUE(keyboard.key_down(kA).ok());
  ASSERT_TRUE(keyboard.press(kA).ok());
  EXPECT_EQ(sent(), (Reports{report(0, {kA}), report(0, {kA, kA}), report(0, {0, kA})}));
}

TEST_F(KeyboardDeviceTest, ComboSendsFourReports) {
  struct Case {
    std::uint8_t modifiers;
    std::uint8_t usage;
  };
  for (const Case c : {Case{0x03, kC}, Case{0x00, kX}, Case{0x0F, kA}}) {
    log->reports.clear();
    ASSERT_TRUE(keyboard.combo(c.modifiers, c.usage).ok());
    EXPECT_EQ(sent(), (Reports{report(c.modifiers), report(c.modifiers, {c.usage}), report(c.modifiers), report(0)}));
    EXPECT_GE(milliseconds_between(log->reports[1], log->reports[2]), 10.0);
  }
}

TEST_F(KeyboardDeviceTest, ComboClearsItsBitsEvenIfHeldBeforeButKeepsOthers) {
  log->fail_on_report = 3;  // the key's release in a shifted character: Shift stays
  ASSERT_FALSE(keyboard.type_text("A").ok());
  log->fail_on_report = 0;
  ASSERT_EQ(keyboard.report().modifiers, 0x02);
  ASSERT_TRUE(keyboard.key_down(kX).ok());
  log->reports.clear();
  ASSERT_TRUE(keyboard.combo(0x03, kC).ok());
  EXPECT_EQ(sent(), (Reports{report(0x03, {kX}), report(0x03, {kX, kC}), report(0x03, {kX}), report(0, {kX})}));
}

// A keyboard whose n-th send fails.
struct FailingKeyboard {
  explicit FailingKeyboard(int failing_send) {
    EXPECT_TRUE(keyboard.create().ok());
    log->fail_on_report = failing_send;
  }
  std::shared_ptr<BackendLog> log = std::make_shared<BackendLog>();
  KeyboardDevice keyboard{recording_factory(log)};
};

TEST(KeyboardDeviceFailures, FailedComboStopsAndKeepsItsBits) {
  for (int failing = 1; failing <= 4; ++failing) {
    FailingKeyboard failing_keyboard(failing);
    const HidResult result = failing_keyboard.keyboard.combo(0x05, kC);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
    EXPECT_EQ(failing_keyboard.log->reports.size(), static_cast<std::size_t>(failing - 1));
    EXPECT_EQ(failing_keyboard.keyboard.report().modifiers, failing < 4 ? 0x05 : 0x00) << "failing send " << failing;
  }
}

TEST(KeyboardDeviceFailures, FailureInShiftedCharacterStopsTyping) {
  for (int failing = 1; failing <= 4; ++failing) {
    FailingKeyboard failing_keyboard(failing);
    const HidResult result = failing_keyboard.keyboard.type_text("Ab");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
    EXPECT_EQ(failing_keyboard.log->reports.size(), static_cast<std::size_t>(failing - 1)) << "nothing after it";
    EXPECT_EQ(failing_keyboard.keyboard.report().modifiers, failing < 4 ? 0x02 : 0x00) << "failing send " << failing;
  }
}

TEST_F(KeyboardDeviceTest, TypeTextShiftsAndSkipsCarriageReturn) {
  ASSERT_TRUE(keyboard.type_text("Hi!\r\n").ok());
  const std::uint8_t h = 0x0B, i = 0x0C, one = 0x1E, enter = 0x28;
  EXPECT_EQ(sent(), (Reports{report(0x02), report(0x02, {h}), report(0x02), report(0),  //
                             report(0, {i}), report(0),                                //
                             report(0x02), report(0x02, {one}), report(0x02), report(0),
                             report(0, {enter}), report(0)}));
}

TEST_F(KeyboardDeviceTest, TextWithoutKeysSendsNothing) {
  for (const std::string_view text : {std::string_view(""), std::string_view("\xC3\xA9\xE2\x82\xAC\r\x7F"),
                                      std::string_view("\xFF\xC1\x81\xED\xA0\x80\xF4\x90", 8)}) {
    EXPECT_TRUE(keyboard.type_text(text).ok());
  }
  EXPECT_TRUE(log->reports.empty());
}

TEST_F(KeyboardDeviceTest, MalformedUtf8TypesOnlyItsAsciiBytes) {
  // A truncated sequence before "a", an overlong encoding of "A" (C1 81).
  ASSERT_TRUE(keyboard.type_text("\xE2\x82" "a\xC1\x81").ok());
  EXPECT_EQ(sent(), (Reports{report(0, {kA}), report(0)}));
}

TEST_F(KeyboardDeviceTest, TypingKeepsHeldKeysAndModifiers) {
  log->fail_on_report = 1;  // Alt left behind by a failed combination
  ASSERT_FALSE(keyboard.combo(0x04, kC).ok());
  log->fail_on_report = 0;
  ASSERT_TRUE(keyboard.key_down(kX).ok());
  log->reports.clear();
  ASSERT_TRUE(keyboard.type_text("aB").ok());
  EXPECT_EQ(sent(), (Reports{report(0x04, {kX, kA}), report(0x04, {kX}),  //
                             report(0x06, {kX}), report(0x06, {kX, 0x05}), report(0x06, {kX}), report(0x04, {kX})}));
}

TEST_F(KeyboardDeviceTest, TypingLastsFifteenMillisecondsPerCharacter) {
  const std::string_view text = "ab C\n";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(keyboard.type_text(text).ok());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(15 * text.size()));
  EXPECT_EQ(log->reports.size(), 2 * text.size() + 2);
}

TEST_F(KeyboardDeviceTest, ShiftLeftByFailureStaysUntilNextShiftedCharacter) {
  log->fail_on_report = 1;
  ASSERT_FALSE(keyboard.type_text("A").ok());
  log->fail_on_report = 0;
  ASSERT_TRUE(keyboard.type_text("a").ok());
  ASSERT_TRUE(keyboard.type_text("B").ok());
  EXPECT_EQ(sent(), (Reports{report(0x02, {kA}), report(0x02), report(0x02), report(0x02, {0x05}), report(0x02),
                             report(0)}));
}

TEST_F(KeyboardDeviceTest, ReleaseAllSendsOneEmptyReport) {
  ASSERT_TRUE(keyboard.release_all().ok());
  ASSERT_TRUE(keyboard.key_down(kA).ok());
  ASSERT_TRUE(keyboard.combo(0x08, kC).ok());
  ASSERT_TRUE(keyboard.release_all().ok());
  const Reports reports = sent();
  EXPECT_EQ(reports.front(), report(0));
  EXPECT_EQ(reports.back(), report(0));
  EXPECT_EQ(current(), report(0));
}

TEST(KeyboardDeviceNotCreated, OperationsFailButKeepTheirEdits) {
  auto log = std::make_shared<BackendLog>();
  KeyboardDevice keyboard(recording_factory(log));
  EXPECT_EQ(keyboard.name(), "ondrel Virtual Keyboard");
  const HidResult down = keyboard.key_down(kA);
  ASSERT_FALSE(down.ok());
  EXPECT_EQ(down.error().display(), "Device not created");
  EXPECT_FALSE(keyboard.combo(0x01, kC).ok());
  EXPECT_EQ(keyboard.report().modifiers, 0x01);
  EXPECT_EQ(keyboard.report().keys[0], kA);
  EXPECT_FALSE(keyboard.press(kX).ok());
  EXPECT_EQ(keyboard.report().keys[1], kX);
  EXPECT_TRUE(keyboard.type_text("\r").ok()) << "nothing to send";
  EXPECT_FALSE(keyboard.release_all().ok());
  EXPECT_EQ(keyboard.report().keys[0], 0);
  EXPECT_TRUE(log->reports.empty());
}

}  // namespace
}  // namespace ondrel
