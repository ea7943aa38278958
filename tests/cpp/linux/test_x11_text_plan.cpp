#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/x11/text_plan.h"

namespace ondrel::linux::x11 {

// Readable differences.
void PrintTo(const Keystroke& keystroke, std::ostream* out) {
  *out << "key " << int{keystroke.key} << " shift " << int{keystroke.shift} << " level3 " << int{keystroke.level3};
}
void PrintTo(const SpareBinding& binding, std::ostream* out) {
  *out << "keycode " << int{binding.keycode} << " keysym 0x" << std::hex << binding.keysym << std::dec;
}

namespace {

constexpr Keycode kShift = 50;
constexpr Keycode kAltGr = 92;
constexpr Keycode kFirstSpare = 207;  // 208 to 210 are spare too, 206 is a modifier without keysyms
constexpr Keysym kGreekOmega = 0x7d9;
constexpr Keysym kEuroSign = 0x20ac;

// A German-like core mapping (columns G1L1 G1L2 G2L1 G2L2 G1L3 G1L4), keycodes 8 to 210.
Keymap german_like(bool altgr_sets_a_modifier = true) {
  const std::vector<std::pair<Keycode, std::vector<Keysym>>> rows = {
      {10, {'1', '!', '1', '!', 0xb9, 0xa1}},
      {11, {'2', '"', '2', '"', 0xb2, 0}},
      {24, {'q', 'Q', 'q', 'Q', '@', kGreekOmega}},
      {26, {'e', 'E', 'e', 'E', kEuroSign, kEuroSign}},
      {30, {'u', 'U', 'x', 'X'}},  // 'x' only in group 2
      {34, {0xfc, 0xdc, 0xfc, 0xdc}},
      {40, {0x1000451, 0x1000401}},  // ё Ё as Unicode keysyms
      {94, {'<', '>', '<', '>', '|'}},
      {59, {',', ';', ',', ';', 0xb7, 0xd7}},
      {61, {'-', '_'}},
      {23, {kTabKeysym, 0xfe20}},
      {36, {kReturnKeysym}},
      {65, {' '}},
      {kShift, {kShiftLKeysym}},
      {kAltGr, {kIsoLevel3ShiftKeysym}},
      {108, {kIsoLevel3ShiftKeysym}},  // outside the modifier mapping: never held
      {12, {'3', 0xa7, '3', 0xa7, 0xb3, '@'}},  // '@' again, dearer than on 24
  };
  Keymap keymap;
  keymap.keyboard = {8, 6, std::vector<Keysym>((210 - 8 + 1) * 6, kNoSymbol)};
  for (const auto& [keycode, keysyms] : rows)
    std::copy(keysyms.begin(), keysyms.end(), keymap.keyboard.keysyms.begin() + (keycode - 8) * 6);
  for (Keycode keycode = 8; keycode < kFirstSpare; ++keycode)  // every other keycode has some keysym
    if (keymap.keyboard.row(keycode)[0] == kNoSymbol && keycode != 206) keymap.keyboard.keysyms[(keycode - 8) * 6] = 0xffbe;
  const Keycode mod5 = altgr_sets_a_modifier ? kAltGr : 0;
  keymap.modifiers = {2, {kShift, 62, 66, 0, 37, 105, 64, 206, 77, 0, 0, 0, 133, 134, mod5, 203}};
  return keymap;
}

struct PlanCase {
  const char* text;
  std::vector<Keystroke> keystrokes;
  std::vector<SpareBinding> bindings;
};

class TextPlanOnLayout : public testing::TestWithParam<PlanCase> {};

TEST_P(TextPlanOnLayout, GivesEachCharacterItsKeyAndLevel) {
  const Expected<TextPlan> planned = plan_text(GetParam().text, german_like());
  ASSERT_TRUE(planned.ok()) << planned.error();
  EXPECT_EQ(planned.value().keystrokes, GetParam().keystrokes);
  EXPECT_EQ(planned.value().bindings, GetParam().bindings);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, TextPlanOnLayout,
    testing::Values(
        PlanCase{"1!\xc2\xb9\xc2\xa1", {{10}, {10, kShift}, {10, 0, kAltGr}, {10, kShift, kAltGr}}, {}},
        // Latin-1, legacy (EuroSign, Greek_OMEGA) and Unicode keysyms; Return and Tab.
        PlanCase{"\xc3\xbc\xe2\x82\xac\xce\xa9\xd1\x91\n\t", {{34}, {26, 0, kAltGr}, {24, kShift, kAltGr}, {40}, {36}, {23}}, {}},
        // The cheapest level wins over the lower keycode.
        PlanCase{"@", {{24, 0, kAltGr}}, {}},
        // Group 2 ('x'), characters outside the layout: spare keycodes from the top, one per character.
        PlanCase{"x\xe4\xb8\x96x\xf0\x9f\x98\x80\xc3\xa9",
                 {{210}, {209}, {210}, {208}, {207}},
                 {{210, 'x'}, {209, 0x1004e16}, {208, 0x101f600}, {207, 0xe9}}}));

TEST(TextPlan, WithoutALevel3ModifierBindsWhatOnlyAltGrTypes) {
  const Expected<TextPlan> planned = plan_text("e\xe2\x82\xac", german_like(false));
  ASSERT_TRUE(planned.ok()) << planned.error();
  EXPECT_EQ(planned.value().keystrokes, (std::vector<Keystroke>{{26}, {210}}));
  EXPECT_EQ(planned.value().bindings, (std::vector<SpareBinding>{{210, 0x10020ac}}));  // Unicode: known to every server
}

TEST(TextPlan, RefusesWhatCannotBeTyped) {
  const std::pair<std::string, std::string> cases[] = {
      {"ab\xff", "the text is not valid UTF-8 at byte 2"},
      {"\xc3", "the text is not valid UTF-8 at byte 0"},
      {"a\xc0\xaf", "the text is not valid UTF-8 at byte 1"},              // overlong
      {"\xed\xa0\x80", "the text is not valid UTF-8 at byte 0"},           // surrogate
      {"\xc3\xa9\xf4\x90\x80\x80", "the text is not valid UTF-8 at byte 2"},  // above U+10FFFF
      {"\xe4\xb8x", "the text is not valid UTF-8 at byte 0"},              // cut short
      {"a\r", "the control character U+000D cannot be typed"},
      {"\xc2\x85", "the control character U+0085 cannot be typed"},
      {"\xce\xb1\xce\xb2\xce\xb3\xce\xb4\xce\xb5",
       "U+03B5 '\xce\xb5' is not on the keyboard layout, and all 4 spare keycodes are taken"},
  };
  for (const auto& [text, message] : cases) {
    const Expected<TextPlan> planned = plan_text(text, german_like());
    ASSERT_FALSE(planned.ok()) << text;
    EXPECT_EQ(planned.error(), message);
  }
}

}  // namespace
}  // namespace ondrel::linux::x11
