#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "devices/key_names.h"
#include "devices/typed_characters.h"
#include "platform/keyboard_transitions.h"
#include "platform/key_codes.h"
#include "support/recorded_inputs.h"

namespace ondrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;
using testing::recorded_inputs;

std::string vk(unsigned code, const char* transition, bool extended = false) {
  char text[32];
  std::snprintf(text, sizeof text, "VK 0x%02X %s%s", code, transition, extended ? " extended" : "");
  return text;
}

Strings tap(unsigned code, bool extended = false) { return {vk(code, "down", extended), vk(code, "up", extended)}; }

// Virtual keys of the usages, written out from the Windows key codes rather
// than derived from the back end's table.
std::map<unsigned, std::pair<unsigned, bool>> expected_virtual_keys() {
  std::map<unsigned, std::pair<unsigned, bool>> keys;
  for (unsigned usage = 0x04; usage <= 0x1D; ++usage) keys[usage] = {'A' + (usage - 0x04), false};
  for (unsigned usage = 0x1E; usage <= 0x26; ++usage) keys[usage] = {'1' + (usage - 0x1E), false};
  for (unsigned usage = 0x3A; usage <= 0x45; ++usage) keys[usage] = {0x70 + (usage - 0x3A), false};
  const std::pair<unsigned, unsigned> plain[] = {
      {0x27, '0'},  {0x28, 0x0D}, {0x29, 0x1B}, {0x2A, 0x08}, {0x2B, 0x09}, {0x2C, 0x20}, {0x2D, 0xBD},
      {0x2E, 0xBB}, {0x2F, 0xDB}, {0x30, 0xDD}, {0x31, 0xDC}, {0x33, 0xBA}, {0x34, 0xDE}, {0x35, 0xC0},
      {0x36, 0xBC}, {0x37, 0xBE}, {0x38, 0xBF}, {0x39, 0x14},
  };
  for (const auto& [usage, code] : plain) keys[usage] = {code, false};
  const std::pair<unsigned, unsigned> navigation[] = {
      {0x49, 0x2D}, {0x4A, 0x24}, {0x4B, 0x21}, {0x4C, 0x2E}, {0x4D, 0x23},
      {0x4E, 0x22}, {0x4F, 0x27}, {0x50, 0x25}, {0x51, 0x28}, {0x52, 0x26},
  };
  for (const auto& [usage, code] : navigation) keys[usage] = {code, true};
  return keys;
}

using KeyboardTransitionsBackendTest = testing::RecordedBackendTest<KeyboardTransitions>;

const Strings kModifiersDown{vk(0xA2, "down"), vk(0xA0, "down"), vk(0xA4, "down"), vk(0x5B, "down")};
const Strings kModifiersUp{vk(0xA2, "up"), vk(0xA0, "up"), vk(0xA4, "up"), vk(0x5B, "up")};

// One report and the events it must inject after the reports before it.
struct Step {
  Bytes report;
  Strings events;
};

struct Transitions {
  const char* name;
  std::vector<Step> steps;
};

const Transitions kTransitions[] = {
    {"combination",
     {{{0x01, 0, 0, 0, 0, 0, 0, 0}, {vk(0xA2, "down")}},
      {{0x01, 0, 0x06, 0, 0, 0, 0, 0}, {vk(0x43, "down")}},
      {{0x01, 0, 0, 0, 0, 0, 0, 0}, {vk(0x43, "up")}},
      {{0, 0, 0, 0, 0, 0, 0, 0}, {vk(0xA2, "up")}}}},
    {"keys up, modifiers up, modifiers down, keys down",
     {{{0x05, 0, 0x04, 0x05, 0, 0, 0, 0}, {vk(0xA2, "down"), vk(0xA4, "down"), vk(0x41, "down"), vk(0x42, "down")}},
      {{0x0A, 0, 0, 0x06, 0x04, 0x07, 0, 0},
       {vk(0x42, "up"), vk(0xA2, "up"), vk(0xA4, "up"), vk(0xA0, "down"), vk(0x5B, "down"), vk(0x43, "down"),
        vk(0x44, "down")}},
      // Released in the slots of the report before, not in the order pressed.
      {{0, 0, 0, 0, 0, 0, 0, 0}, {vk(0x43, "up"), vk(0x41, "up"), vk(0x44, "up"), vk(0xA0, "up"), vk(0x5B, "up")}}}},
    {"a key held across reports goes down once",
     {{{0, 0, 0x4F, 0, 0, 0, 0, 0}, {vk(0x27, "down", true)}},
      {{0, 0, 0, 0, 0, 0x4F, 0, 0}, {}},
      {{0x02, 0, 0, 0, 0, 0x4F, 0, 0}, {vk(0xA0, "down")}},
      {{0, 0, 0, 0, 0, 0, 0, 0}, {vk(0x27, "up", true), vk(0xA0, "up")}}}},
    {"a usage in two slots is one key",
     {{{0, 0, 0x05, 0x05, 0x2C, 0, 0, 0}, {vk(0x42, "down"), vk(0x20, "down")}},
      {{0, 0, 0, 0x05, 0, 0, 0, 0}, {vk(0x20, "up")}},
      {{0, 0, 0, 0, 0, 0, 0, 0}, {vk(0x42, "up")}}}},
    {"right-hand modifiers, the reserved byte and a ninth byte are not played",
     {{{0xF0, 0xFF, 0, 0, 0, 0, 0, 0, 0x04}, {}},
      {{0xFF, 0, 0, 0, 0, 0, 0, 0}, kModifiersDown},
      {{0xF0, 0, 0, 0, 0, 0, 0, 0}, kModifiersUp}}},
    {"usages without a virtual key give no event",
     {{{0, 0, 0x32, 0x46, 0x47, 0x48, 0x53, 0x03}, {}},
      {{0, 0, 0x32, 0x39, 0x47, 0x48, 0x53, 0x03}, {vk(0x14, "down")}},
      {{0, 0, 0, 0, 0, 0, 0, 0}, {vk(0x14, "up")}}}},
};

class KeyboardTransitionsTest : public KeyboardTransitionsBackendTest,
                                public ::testing::WithParamInterface<Transitions> {};

TEST_P(KeyboardTransitionsTest, InjectsOnlyWhatChanges) {
  for (const Step& step : GetParam().steps) {
    testing::reset_recorded_inputs();
    ASSERT_TRUE(send(step.report).ok());
    EXPECT_EQ(events(), step.events) << GetParam().name;
  }
}

INSTANTIATE_TEST_SUITE_P(Reports, KeyboardTransitionsTest, ::testing::ValuesIn(kTransitions),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(KeyboardTransitionsBackendTest, HeldKeysStayDownThroughDestroy) {
  ASSERT_TRUE(send({0x01, 0, 0x04, 0, 0, 0, 0, 0}).ok());
  EXPECT_TRUE(backend.destroy().ok());
  EXPECT_EQ(events(), (Strings{vk(0xA2, "down"), vk(0x41, "down")})) << "destroy lets go of nothing";
  EXPECT_EQ(backend.held().modifiers, 0x01);
  EXPECT_EQ(backend.held().keys[0], 0x04);
}

TEST_F(KeyboardTransitionsBackendTest, ShortReportIsRefused) {
  const HidResult result = send({0x01, 0, 0x04, 0, 0, 0, 0});
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: Invalid keyboard report");
  EXPECT_EQ(recorded_inputs().calls, 0);
}

TEST_F(KeyboardTransitionsBackendTest, EveryUsageGetsItsVirtualKey) {
  const auto expected = expected_virtual_keys();
  ASSERT_EQ(expected.size(), 75u);
  for (unsigned usage = 0; usage < 256; ++usage) {
    testing::reset_recorded_inputs();
    ASSERT_TRUE(send({0, 0, static_cast<std::uint8_t>(usage), 0, 0, 0, 0, 0}).ok());
    ASSERT_TRUE(send({0, 0, 0, 0, 0, 0, 0, 0}).ok());
    const auto key = expected.find(usage);
    EXPECT_EQ(events(), key == expected.end() ? Strings{} : tap(key->second.first, key->second.second))
        << "usage " << usage;
  }
}

TEST(KeyCodeTable, EveryKeyTheKeyboardCanNameOrTypeHasOne) {
  for (const KeyName& key : kKeyNames) EXPECT_TRUE(key_codes_for_usage(key.usage)) << key.name;
  for (const LayoutKey& key : kUsLayoutKeys) EXPECT_TRUE(key_codes_for_usage(key.usage)) << key.plain;
}

// Whichever event of a report fails, what went in before it counts as held:
// sending the report again injects exactly the rest, nothing twice.
TEST_F(KeyboardTransitionsBackendTest, AfterAFailureTheNextReportSendsWhatIsStillMissing) {
  const Bytes before{0x05, 0, 0x04, 0x05, 0, 0, 0, 0};
  const Bytes after{0x0A, 0, 0, 0x06, 0x04, 0x07, 0, 0};
  ASSERT_TRUE(send(before).ok());
  testing::reset_recorded_inputs();
  ASSERT_TRUE(send(after).ok());
  const Strings all = events();
  ASSERT_EQ(all.size(), 7u);
  for (int failing = 1; failing <= 7; ++failing) {
    KeyboardTransitions fresh{std::make_unique<testing::RecordingSink>()};
    ASSERT_TRUE(fresh.send_report(before).ok());
    testing::reset_recorded_inputs();
    recorded_inputs().fail_on_call = failing;
    const HidResult result = fresh.send_report(after);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
    EXPECT_EQ(recorded_inputs().calls, failing) << "nothing after the failed call";
    ASSERT_TRUE(fresh.send_report(after).ok());
    EXPECT_EQ(events(), all) << "failing call " << failing;
  }
}

TEST_F(KeyboardTransitionsBackendTest, AfterAFailedKeyOnlyWhatWentDownComesUp) {
  recorded_inputs().fail_on_call = 2;
  ASSERT_FALSE(send({0x01, 0, 0x06, 0, 0, 0, 0, 0}).ok());
  ASSERT_TRUE(send({0, 0, 0, 0, 0, 0, 0, 0}).ok());
  EXPECT_EQ(events(), (Strings{vk(0xA2, "down"), vk(0xA2, "up")}));
}

}  // namespace
}  // namespace ondrel
