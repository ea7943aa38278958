#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "computer/chord.h"
#include "recording_input.h"

namespace ondrel::computer {
namespace {

using testing::RecordingInput;

std::string names(const Chord& chord) {
  std::string out;
  for (const KeyRow* key : chord.keys) out += (out.empty() ? "" : "+") + std::string(key->names[0]);
  return out;
}

TEST(ParseChord, TextAndListNameTheSameKeysInOrder) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"ctrl+shift+t", "Control_L+Shift_L+t"}, {"Return", "Return"},          {"alt+Tab", "Alt_L+Tab"},
      {"KP_Enter", "KP_Enter"},                {"control+c", "Control_L+c"}, {" ctrl + C ", "Control_L+c"},
  };
  for (const auto& [text, expected] : cases) {
    const Expected<Chord> chord = parse_chord(text);
    ASSERT_TRUE(chord.ok()) << text << ": " << chord.outcome().error();
    EXPECT_EQ(names(chord.value()), expected) << text;
  }
  const std::vector<std::string> list{"CTRL", "A"};
  EXPECT_EQ(names(parse_chord(list).value()), "Control_L+a");
}

TEST(ParseChord, BadNamesAreNamedExactly) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"ctrl+Foo", "unknown key `Foo` in `ctrl+Foo`"},
      {"ctrl+", "empty key name in `ctrl+`"},
      {"+", "empty key name in `+`"},
      {"", "empty key combination ``"},
      {"ctrl+control", "key `control` appears twice in `ctrl+control`"},
      {"back", "unknown key `back` in `back`"},
      {std::string_view("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\xC3\xA9z"),
       "unknown key `aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...` in "
       "`aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...`"},
  };
  for (const auto& [text, message] : cases) {
    const Expected<Chord> chord = parse_chord(text);
    ASSERT_FALSE(chord.ok()) << text;
    EXPECT_EQ(chord.outcome().error(), message);
  }
  const std::vector<std::string> list{"CTRL", "HYPER"};
  EXPECT_EQ(parse_chord(list).outcome().error(), "unknown key `HYPER` in `HYPER`");
  EXPECT_EQ(parse_chord(std::vector<std::string>{}).outcome().error(), "empty list of keys");
}

TEST(PressChord, DownInOrderUpInReverseAndNothingLeftHeldAfterAFailure) {
  const Chord chord = parse_chord("ctrl+shift+t").value();
  struct Case {
    std::size_t fail_call;
    std::uint32_t hold_ms;
    std::string calls;
  };
  const Case cases[] = {
      // A press is held at least as long as a typed character's keys.
      {0, 0, "Control_L down; Shift_L down; t down; wait 3; t up; Shift_L up; Control_L up"},
      {0, 250, "Control_L down; Shift_L down; t down; wait 250; t up; Shift_L up; Control_L up"},
      {2, 0, "Control_L down; FAILED Shift_L down; Control_L up"},
      {4, 250, "Control_L down; Shift_L down; t down; FAILED wait 250; t up; Shift_L up; Control_L up"},
      {6, 0, "Control_L down; Shift_L down; t down; wait 3; t up; FAILED Shift_L up; Control_L up"},
  };
  for (const Case& c : cases) {
    RecordingInput input;
    input.fail_call = c.fail_call;
    const Outcome pressed = press_chord(input, chord, c.hold_ms);
    EXPECT_EQ(pressed.ok(), c.fail_call == 0);
    EXPECT_EQ(input.joined(), c.calls);
  }
}

}  // namespace
}  // namespace ondrel::computer
