#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "computer/key_table.h"
#include "devices/name_folding.h"

namespace ondrel::computer {
namespace {

TEST(ComputerKeyTable, EveryNameAndCodeIsUniqueWhereItMustBe) {
  std::set<std::string> names;
  std::set<std::uint32_t> keysyms;
  std::set<std::pair<std::uint16_t, bool>> virtual_keys;  // Enter and keypad Enter share VK_RETURN
  std::set<std::pair<std::uint16_t, bool>> scan_codes;
  std::set<std::uint16_t> evdev_codes;
  std::size_t name_count = 0;
  for (const KeyRow& row : key_rows()) {
    for (const std::string_view name : row.names) {
      if (name.empty()) continue;
      ++name_count;
      EXPECT_TRUE(names.insert(*fold_table_name(name)).second) << name;
      EXPECT_EQ(find_key(name), &row) << name;
      EXPECT_EQ(name.find_first_of(" +"), std::string_view::npos) << name << ": chords split on these";
    }
    EXPECT_TRUE(keysyms.insert(row.key().keysym).second) << row.names[0];
    EXPECT_TRUE(virtual_keys.insert({row.key().virtual_key, row.key().extended}).second) << row.names[0];
    EXPECT_TRUE(scan_codes.insert({row.key().scan_code, row.key().extended}).second) << row.names[0];
    EXPECT_TRUE(evdev_codes.insert(row.key().evdev).second) << row.names[0];
    EXPECT_NE(row.key().virtual_key, 0) << row.names[0];
    EXPECT_NE(row.key().evdev, 0) << row.names[0];
  }
  EXPECT_EQ(key_rows().size(), 124u);
  EXPECT_EQ(name_count, 230u);
}

TEST(ComputerKeyTable, ShiftedKeysymsNameTheKeyTheyAreOn) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"plus", "equal"}, {"question", "slash"}, {"at", "2"}, {"asciitilde", "grave"}, {"bar", "backslash"}};
  for (const auto& [name, key] : cases) {
    const KeyRow* row = find_shifted_key(name);
    ASSERT_NE(row, nullptr) << name;
    EXPECT_EQ(row->names[0], key) << name;
  }
  EXPECT_EQ(find_shifted_key("equal"), nullptr);
}

TEST(ComputerKeyTable, FindsXdotoolOpenAiAndPlainNamesInAnyCase) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Return", "Return"},   {"ENTER", "Return"},       {"enter", "Return"},      {"BackSpace", "BackSpace"},
      {"Page_Down", "Page_Down"}, {"PAGEDOWN", "Page_Down"}, {"next", "Page_Down"},  {"ARROWDOWN", "Down"},
      {"super", "Super_L"},   {"CMD", "Super_L"},        {"win", "Super_L"},       {"META", "Super_L"},
      {"CTRL", "Control_L"},  {"control", "Control_L"},  {"ALT", "Alt_L"},         {"Shift", "Shift_L"},
      {"ESC", "Escape"},      {"KP_0", "KP_0"},          {"kp_enter", "KP_Enter"}, {"F24", "F24"},
      {"A", "a"},             {"/", "slash"},            {"SPACE", "space"},       {"DELETE", "Delete"},
      // Gemini's names, and X's for the keypad without Num Lock and the media keys.
      {"EQUALS", "equal"},    {"add", "KP_Add"},         {"Multiply", "KP_Multiply"}, {"separator", "KP_Decimal"},
      {"numpad7", "KP_7"},    {"KP_Home", "KP_7"},       {"KP_Page_Down", "KP_3"}, {"Meta_L", "Super_L"},
      {"XF86AudioMute", "XF86AudioMute"},                {"volumeup", "XF86AudioRaiseVolume"},
  };
  for (const auto& [name, keysym] : cases) {
    const KeyRow* row = find_key(name);
    ASSERT_NE(row, nullptr) << name;
    EXPECT_EQ(row->names[0], keysym) << name;
  }
  // The mouse's side buttons are no keys; nor are shifted characters.
  for (const std::string_view name : {"back", "forward", "", "+", "plus", "F25", "KP_10", "ctrl ", "\xC3\xA9"}) {
    EXPECT_EQ(find_key(name), nullptr) << name;
  }
}

TEST(ComputerKeyTable, CodesOfKeysThatEachSystemTellsApart) {
  const KeyRow& enter = *find_key("Return");
  const KeyRow& keypad_enter = *find_key("KP_Enter");
  EXPECT_EQ(enter.key().virtual_key, keypad_enter.key().virtual_key);
  EXPECT_FALSE(enter.key().extended);
  EXPECT_TRUE(keypad_enter.key().extended);
  EXPECT_EQ(keypad_enter.key().evdev, 96);  // KEY_KPENTER
  EXPECT_TRUE(find_key("Right")->key().extended);
  EXPECT_FALSE(find_key("KP_6")->key().extended);
  EXPECT_EQ(find_key("F11")->key().evdev, 87);
  EXPECT_EQ(find_key("F13")->key().evdev, 183);
  EXPECT_EQ(find_key("Super_L")->key().keysym, 0xffebu);
}

// A name and the devices' usage of the same key lead to the same physical key.
TEST(ComputerKeyTable, NamesAndUsagesShareTheKeys) {
  const std::pair<std::string_view, std::uint8_t> named_usages[] = {
      {"a", 0x04},  {"Return", 0x28}, {"F12", 0x45}, {"Right", 0x4F}, {"Control_L", 0xE0},
      {"Super_L", 0xE3}, {"KP_0", 0x62}, {"less", 0x64}, {"F24", 0x73}, {"XF86AudioRaiseVolume", 0x80}};
  for (const auto& [name, usage] : named_usages) EXPECT_EQ(&find_key(name)->key(), physical_key_of_usage(usage)) << name;
}

}  // namespace
}  // namespace ondrel::computer
