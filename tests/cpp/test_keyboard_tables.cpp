#include <gtest/gtest.h>

#include <set>
#include <string>

#include "devices/key_names.h"
#include "devices/modifier_names.h"
#include "devices/name_folding.h"
#include "devices/typed_characters.h"
#include "support/name_spellings.h"

namespace ondrel {
namespace {

std::string parse_failure(std::string_view name) {
  std::uint8_t usage = 0xEE;
  const HidResult result = parse_key(name, usage);
  if (result.ok()) return "parsed as " + std::to_string(usage);
  EXPECT_EQ(usage, 0xEE) << "usage written on failure";
  return result.error().display();
}

std::uint8_t parsed(std::string_view name) {
  std::uint8_t usage = 0;
  const HidResult result = parse_key(name, usage);
  EXPECT_TRUE(result.ok()) << name << ": " << result.error().display();
  return usage;
}

TEST(KeyNameTable, NamesAreUniqueLowerCaseAndNameSixtyThreeKeys) {
  std::set<std::string_view> names;
  std::set<std::uint8_t> usages;
  for (const KeyName& key : kKeyNames) {
    EXPECT_TRUE(names.insert(key.name).second) << key.name;
    EXPECT_EQ(key.name, std::string_view(*fold_table_name(key.name))) << key.name;
    usages.insert(key.usage);
  }
  EXPECT_EQ(names.size(), 66u);
  EXPECT_EQ(usages.size(), 63u) << "enter/return, esc/escape and space/blank share keys";
}

TEST(KeyNameTable, EveryNameParsesInAnyCaseWithFullUnicodeLowerCasing) {
  for (const KeyName& key : kKeyNames) {
    for (const std::string& spelling : testing::spellings(key.name)) EXPECT_EQ(parsed(spelling), key.usage) << spelling;
  }
  EXPECT_EQ(parsed("ENTER"), 40);
  EXPECT_EQ(parsed("PageDown"), 78);
  EXPECT_EQ(parsed("F12"), 69);
  EXPECT_EQ(parsed(" "), 44);
  EXPECT_EQ(parsed("bac\xE2\x84\xAAspace"), 42);  // U+212A KELVIN SIGN lower-cases to "k"
  EXPECT_EQ(parsed("\xE2\x84\xAA"), 14);
}

TEST(KeyNameTable, RefusesOtherNamesRepeatingThemAsGiven) {
  for (const std::string_view name :
       {"", "ctrl", "Shift", "F13", "page up", "Page-Up", "page_up", " a", "a ", "-", "CapsLock", "PrintScreen",
        "kp1", "\xC4\xB0nsert" /* U+0130 lower-cases to i + U+0307 */, "ent\xC3\xA9r", "\xE2\x84"}) {
    EXPECT_EQ(parse_failure(name), "Invalid key: " + std::string(name)) << name;
  }
  EXPECT_EQ(parse_failure(std::string_view("a\0", 2)), std::string("Invalid key: a\0", 15));
}

TEST(ModifierNameTable, NamesAreUniqueLowerCaseSingleLeftBits) {
  std::set<std::string_view> names;
  std::uint8_t all_bits = 0;
  for (const ModifierName& modifier : kModifierNames) {
    EXPECT_TRUE(names.insert(modifier.name).second) << modifier.name;
    EXPECT_EQ(modifier.name, std::string_view(*fold_table_name(modifier.name)));
    EXPECT_TRUE(modifier.bit == 0x01 || modifier.bit == 0x02 || modifier.bit == 0x04 || modifier.bit == 0x08);
    for (const std::string& spelling : testing::spellings(modifier.name)) {
      EXPECT_EQ(modifier_bit_named(spelling), modifier.bit) << spelling;
    }
    all_bits |= modifier.bit;
  }
  EXPECT_EQ(all_bits, 0x0F);
}

TEST(ModifierNameTable, BitsOfListIgnoreUnknownNames) {
  struct Case {
    std::vector<std::string_view> names;
    std::uint8_t bits;
  };
  const Case cases[] = {
      {{}, 0x00},
      {{"CTRL", "Shift", "hyper"}, 0x03},
      {{"control", "ctrl", "CTRL"}, 0x01},
      {{"Option", "WIN", "cmd"}, 0x0C},
      {{"ctrl ", "left ctrl", "rshift", "a", ""}, 0x00},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> names(c.names.begin(), c.names.end());
    EXPECT_EQ(modifier_bits(names), c.bits);
  }
}

TEST(CharacterTable, CoversPrintableAsciiTabAndLineFeedOnly) {
  int count = 0;
  for (char32_t c = 0; c < 0x200; ++c) {
    const bool expected = (c >= 0x20 && c <= 0x7E) || c == U'\n' || c == U'\t';
    EXPECT_EQ(typed_key(c).has_value(), expected) << static_cast<unsigned>(c);
    count += typed_key(c).has_value();
  }
  EXPECT_EQ(count, 97);
  EXPECT_FALSE(typed_key(U'\r'));
  EXPECT_FALSE(typed_key(0x212A));
  EXPECT_FALSE(typed_key(0x10FFFF));
}

TEST(CharacterTable, KeysWithNamesTypeTheirOwnCharacters) {
  for (const KeyName& key : kKeyNames) {
    if (key.name.size() != 1) continue;
    const auto typed = typed_key(static_cast<unsigned char>(key.name[0]));
    ASSERT_TRUE(typed) << key.name;
    EXPECT_EQ(typed->usage, key.usage) << key.name;
    EXPECT_FALSE(typed->shifted) << key.name;
  }
  EXPECT_EQ(typed_key(U'\n')->usage, parsed("enter"));
  EXPECT_EQ(typed_key(U'\t')->usage, parsed("tab"));
}

TEST(CharacterTable, ShiftedCharactersAreThoseOfAUsLayout) {
  std::string shifted;
  for (char32_t c = 0; c < 0x80; ++c) {
    if (const auto key = typed_key(c); key && key->shifted) shifted += static_cast<char>(c);
  }
  EXPECT_EQ(shifted, "!\"#$%&()*+:<>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ^_{|}~");
  for (char32_t capital = U'A'; capital <= U'Z'; ++capital) {
    EXPECT_EQ(typed_key(capital)->usage, typed_key(capital - U'A' + U'a')->usage);
  }
  EXPECT_EQ(typed_key(U'@')->usage, 31);
  EXPECT_EQ(typed_key(U')')->usage, 39);
  EXPECT_EQ(typed_key(U'|')->usage, 49);
  EXPECT_EQ(typed_key(U'"')->usage, 52);
  EXPECT_EQ(typed_key(U'~')->usage, 53);
  EXPECT_EQ(typed_key(U'?')->usage, 56);
}

}  // namespace
}  // namespace ondrel
