#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "devices/key_names.h"
#include "devices/typed_characters.h"
#include "platform/windows/keyboard_backend.h"
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

Strings joined(std::initializer_list<Strings> parts) {
  Strings out;
  for (const Strings& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

double milliseconds_between_events(std::size_t first, std::size_t second) {
  const auto& times = recorded_inputs().times;
  return std::chrono::duration<double, std::milli>(times[second] - times[first]).count();
}

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

using WindowsKeyboardBackendTest = testing::RecordedBackendTest<WindowsKeyboardBackend>;

TEST_F(WindowsKeyboardBackendTest, ModifiersGoDownAroundTheKeysAndUpInTheSameOrder) {
  struct Case {
    Bytes report;
    Strings events;
  };
  const Strings modifiers_down{vk(0xA2, "down"), vk(0xA0, "down"), vk(0xA4, "down"), vk(0x5B, "down")};
  const Strings modifiers_up{vk(0xA2, "up"), vk(0xA0, "up"), vk(0xA4, "up"), vk(0x5B, "up")};
  const Case cases[] = {
      {{0x01, 0, 0x06, 0, 0, 0, 0, 0}, {vk(0xA2, "down"), vk(0x43, "down"), vk(0x43, "up"), vk(0xA2, "up")}},
      {{0xFF, 0, 0, 0, 0, 0, 0, 0}, joined({modifiers_down, modifiers_up})},  // right-hand modifiers are not played
      // Every slot in order, a duplicate twice; the navigation keys are extended.
      {{0x02, 0, 0x05, 0, 0x05, 0x2C, 0x04, 0x4F},
       joined({{vk(0xA0, "down")}, tap(0x42), tap(0x42), tap(0x20), tap(0x41), tap(0x27, true), {vk(0xA0, "up")}})},
      // Usages without a virtual key are skipped; a ninth byte is not played.
      {{0, 0, 0x32, 0x46, 0x47, 0x48, 0x53, 0x03}, {}},
      {{0, 0, 0, 0, 0, 0, 0, 0x39, 0x04}, tap(0x14)},
      {{0, 0xFF, 0, 0, 0, 0, 0, 0}, {}},
  };
  for (const Case& c : cases) {
    testing::reset_recorded_inputs();
    ASSERT_TRUE(send(c.report).ok());
    EXPECT_EQ(events(), c.events);
  }
  EXPECT_TRUE(backend.destroy().ok());
  EXPECT_EQ(recorded_inputs().calls, 0) << "destroy injects nothing";
}

TEST_F(WindowsKeyboardBackendTest, EachKeyIsHeldFiveMilliseconds) {
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(send({0x0F, 0, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09}).ok());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
  ASSERT_EQ(events().size(), 20u);
  for (std::size_t key_down = 4; key_down < 16; key_down += 2)
    EXPECT_GE(milliseconds_between_events(key_down, key_down + 1), 5.0) << events()[key_down];
}

TEST_F(WindowsKeyboardBackendTest, ShortReportIsRefused) {
  const HidResult result = send({0x01, 0, 0x04, 0, 0, 0, 0});
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().display(), "Failed to send report: Invalid keyboard report");
  EXPECT_EQ(recorded_inputs().calls, 0);
}

TEST_F(WindowsKeyboardBackendTest, EveryUsageGetsItsVirtualKey) {
  const auto expected = expected_virtual_keys();
  ASSERT_EQ(expected.size(), 75u);
  for (unsigned usage = 0; usage < 256; ++usage) {
    testing::reset_recorded_inputs();
    ASSERT_TRUE(send({0, 0, static_cast<std::uint8_t>(usage), 0, 0, 0, 0, 0}).ok());
    const auto key = expected.find(usage);
    EXPECT_EQ(events(), key == expected.end() ? Strings{} : tap(key->second.first, key->second.second))
        << "usage " << usage;
  }
}

TEST(KeyCodeTable, EveryKeyTheKeyboardCanNameOrTypeHasOne) {
  for (const KeyName& key : kKeyNames) EXPECT_TRUE(key_codes_for_usage(key.usage)) << key.name;
  for (const LayoutKey& key : kUsLayoutKeys) EXPECT_TRUE(key_codes_for_usage(key.usage)) << key.plain;
}

TEST_F(WindowsKeyboardBackendTest, FailedCallStopsTheReport) {
  for (int failing = 1; failing <= 4; ++failing) {
    testing::reset_recorded_inputs();
    recorded_inputs().fail_on_call = failing;
    const HidResult result = send({0x01, 0, 0x06, 0, 0, 0, 0, 0});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().display(), "Failed to send report: SendInput failed");
    EXPECT_EQ(recorded_inputs().calls, failing) << "nothing after the failed call";
  }
}

}  // namespace
}  // namespace ondrel
