#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>
#include <vector>

#include "devices/gamepad_buttons.h"
#include "support/name_spellings.h"

namespace ondrel {
namespace {

// Every row has an action name; the class knows all but "left" and "right".
TEST(GamepadButtonTable, NamesAreUniqueLowerCaseOneBitEachAndCoverEveryButton) {
  std::set<std::string_view> names;
  int class_names = 0;
  std::uint16_t class_bits = 0;
  std::vector<int> names_per_button(15, 0);
  for (const auto& row : gamepad_button_names()) {
    EXPECT_TRUE(names.insert(row.name).second) << "duplicate " << row.name;
    EXPECT_EQ(std::string(row.name).find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string::npos) << row.name;
    ASSERT_EQ(std::popcount(bit(row.button)), 1) << row.name;
    ASSERT_LT(bit(row.button), 0x8000) << row.name;
    EXPECT_TRUE(row.action_name) << row.name;
    ++names_per_button[std::countr_zero(bit(row.button))];
    if (row.class_name) class_bits |= bit(row.button);
    class_names += row.class_name ? 1 : 0;
  }
  EXPECT_EQ(class_names, 23);
  EXPECT_EQ(class_bits, 0x7FFF);
  // In bit order: A, B, X, Y, the bumpers, Back, Start, Guide, the stick
  // buttons and the pad's four directions.
  EXPECT_EQ(names_per_button, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 2}));
}

TEST(GamepadButtonTable, EveryNameMatchesInAnyCase) {
  for (const auto& row : gamepad_button_names()) {
    for (const std::string& spelling : testing::spellings(row.name)) {
      const std::optional<std::uint16_t> expected_class =
          row.class_name ? std::optional<std::uint16_t>(bit(row.button)) : std::nullopt;
      EXPECT_EQ(parse_button(spelling), expected_class) << spelling;
      std::uint16_t action_bit = 0;
      EXPECT_TRUE(parse_gamepad_button(spelling, action_bit).ok()) << spelling;
      EXPECT_EQ(action_bit, bit(row.button)) << spelling;
    }
  }
}

TEST(GamepadButtonNames, RefusalsAndFullUnicodeLowerCasing) {
  const std::string_view refused_by_class[] = {"left",    "Right",        "lt", "RT", "", " a", "a ", "a+b",
                                              "dpad-up", "left_trigger", std::string_view("a\0", 2)};
  for (std::string_view name : refused_by_class) EXPECT_EQ(parse_button(name), std::nullopt) << name;
  for (std::string_view name : {"", "LT", "Start "}) {
    std::uint16_t mask = 0;
    const HidResult result = parse_gamepad_button(name, mask);
    ASSERT_FALSE(result.ok()) << name;
    EXPECT_EQ(result.error().display(), "Invalid action: Unknown gamepad button: " + std::string(name));
  }
  EXPECT_EQ(parse_button("BAC\xE2\x84\xAA"), bit(GamepadButton::Back));  // ends in U+212A KELVIN SIGN
  EXPECT_EQ(parse_button("\xC3\x81"), std::nullopt);                    // U+00C1 folds to a non-ASCII letter
}

}  // namespace
}  // namespace ondrel
