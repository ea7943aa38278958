#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <set>
#include <string>

#include "devices/gamepad_buttons.h"

namespace ondrel {
namespace {

std::string upper(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// "left_bumper" -> "LeFt_bUmPeR"
std::string alternating(std::string_view name) {
  std::string out(name);
  for (std::size_t i = 0; i < out.size(); i += 2) {
    out[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[i])));
  }
  return out;
}

std::string action_error(std::string_view name) {
  std::uint16_t bit = 0;
  const HidResult result = parse_gamepad_button(name, bit);
  return result.ok() ? "ok" : result.error().display();
}

TEST(GamepadButtonTable, CountsPerColumn) {
  const auto rows = gamepad_button_names();
  EXPECT_EQ(rows.size(), 25u);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.class_name; }), 23);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.action_name; }), 25);
}

TEST(GamepadButtonTable, NamesAreUniqueLowerCaseAndOneBitEach) {
  std::set<std::string_view> names;
  for (const auto& row : gamepad_button_names()) {
    EXPECT_TRUE(names.insert(row.name).second) << "duplicate " << row.name;
    EXPECT_EQ(std::string(row.name).find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string::npos) << row.name;
    EXPECT_EQ(std::popcount(bit(row.button)), 1) << row.name;
    EXPECT_EQ(bit(row.button) & 0x8000, 0) << row.name;
  }
}

TEST(GamepadButtonTable, EveryButtonBitHasANameInBothColumns) {
  std::uint16_t class_bits = 0;
  std::uint16_t action_bits = 0;
  for (const auto& row : gamepad_button_names()) {
    if (row.class_name) class_bits |= bit(row.button);
    if (row.action_name) action_bits |= bit(row.button);
  }
  EXPECT_EQ(class_bits, 0x7FFF);
  EXPECT_EQ(action_bits, 0x7FFF);
}

TEST(GamepadButtonTable, EveryNameMatchesInAnyCase) {
  for (const auto& row : gamepad_button_names()) {
    for (const std::string& spelling : {std::string(row.name), upper(row.name), alternating(row.name)}) {
      const std::optional<std::uint16_t> expected_class =
          row.class_name ? std::optional<std::uint16_t>(bit(row.button)) : std::nullopt;
      EXPECT_EQ(parse_button(spelling), expected_class) << spelling;
      std::uint16_t action_bit = 0;
      EXPECT_TRUE(parse_gamepad_button(spelling, action_bit).ok()) << spelling;
      EXPECT_EQ(action_bit, bit(row.button)) << spelling;
    }
  }
}

TEST(GamepadButtonNames, ClassRefusesSidesTriggersAndNearMisses) {
  const std::string_view refused[] = {"left",    "Right",        "lt", "RT", "", " a", "a ", "a+b",
                                     "dpad-up", "left_trigger", std::string_view("a\0", 2)};
  for (std::string_view name : refused) {
    EXPECT_EQ(parse_button(name), std::nullopt) << name;
  }
}

TEST(GamepadButtonNames, ActionsReportTheNameAsGiven) {
  EXPECT_EQ(action_error(""), "Invalid action: Unknown gamepad button: ");
  EXPECT_EQ(action_error("LT"), "Invalid action: Unknown gamepad button: LT");
  EXPECT_EQ(action_error("Start "), "Invalid action: Unknown gamepad button: Start ");
}

TEST(GamepadButtonNames, FullUnicodeLowerCasingReachesKelvinSign) {
  EXPECT_EQ(parse_button("BAC\xE2\x84\xAA"), bit(GamepadButton::Back));  // ends in U+212A KELVIN SIGN
  EXPECT_EQ(parse_button("\xC3\x81"), std::nullopt);                    // U+00C1 folds to a non-ASCII letter
}

}  // namespace
}  // namespace ondrel
