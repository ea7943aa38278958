#include <gtest/gtest.h>

#include "devices/name_folding.h"

namespace ondrel {
namespace {

TEST(NameFolding, LowerCasesAsciiAndKelvinSign) {
  EXPECT_EQ(fold_table_name("PageDown"), "pagedown");
  EXPECT_EQ(fold_table_name("F12"), "f12");
  EXPECT_EQ(fold_table_name("\xE2\x84\xAA"), "k");           // KELVIN SIGN
  EXPECT_EQ(fold_table_name("BAC\xE2\x84\xAA"), "back");      // ends in KELVIN SIGN
  EXPECT_EQ(fold_table_name(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(NameFolding, OtherNonAsciiNeverMatches) {
  EXPECT_EQ(fold_table_name("\xC4\xB0"), std::nullopt);  // U+0130 lower-cases to i + U+0307
  EXPECT_EQ(fold_table_name("\xC3\x89NTER"), std::nullopt);
  EXPECT_EQ(fold_table_name("\xE2\x84"), std::nullopt);  // truncated sequence
}

}  // namespace
}  // namespace ondrel
