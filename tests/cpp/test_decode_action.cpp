#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "agent/action_decoder.h"
#include "agent/action_schema.h"
#include "json/json_reader.h"

namespace ondrel {
namespace {

using namespace std::string_literals;

const std::string kTags =
    "`mouse_move`, `mouse_click`, `mouse_double_click`, `mouse_down`, `mouse_up`, `mouse_scroll`, `type`, "
    "`key_press`, `key_down`, `key_up`, `key_combo`, `gamepad_press`, `gamepad_release`, `gamepad_left_stick`, "
    "`gamepad_right_stick`, `gamepad_triggers`";

std::string unknown(std::string_view tag, std::string_view position) {
  return "unknown variant `" + std::string(tag) + "`, expected one of " + kTags + " at line 1 column " +
         std::string(position);
}

std::string message_of(std::string_view text) {
  const DecodeResult result = decode_action(text);
  return result.ok() ? "decoded" : result.message();
}

struct DecodeCase {
  std::string text;
  AgentAction action;
};

TEST(DecodeAction, EveryVariantInBothShapesWithAnyJsonAroundTheFields) {
  const DecodeCase cases[] = {
      {R"({"action":"mouse_move","x":10,"y":-5})", MouseMove{10, -5}},
      {R"(["mouse_move",10,-5])", MouseMove{10, -5}},
      {R"({"y":-3,"x":5,"action":"mouse_move"})", MouseMove{5, -3}},
      {R"({"action":"mouse_move","x":-2147483648,"y":2147483647})", MouseMove{INT32_MIN, INT32_MAX}},
      {R"({"action":"mouse_click"})", MouseClick{}},
      {R"({"action":"mouse_click","button":null})", MouseClick{}},
      {R"(["mouse_click",null])", MouseClick{}},
      {R"({"button":"Right","action":"mouse_click"})", MouseClick{"Right"}},
      {R"(["mouse_double_click","middle"])", MouseDoubleClick{"middle"}},
      {R"({"action":"mouse_double_click"})", MouseDoubleClick{}},
      {R"({"action":"mouse_down","button":"left"})", MouseDown{"left"}},
      {R"(["mouse_up",null])", MouseUp{}},
      {R"({"action":"mouse_scroll","delta":-128})", MouseScroll{-128}},
      {R"(["mouse_scroll",127])", MouseScroll{127}},
      {R"({"action":"mouse_scroll","delta":0})", MouseScroll{0}},
      {R"({"action":"type","text":"Hello, w\u00f6rld \ud83d\ude00\n"})", Type{"Hello, w\xC3\xB6rld \xF0\x9F\x98\x80\n"}},
      {R"(["type",""])", Type{""}},
      {R"(["type","\b\f\r\t\u0000\u00e9\u20AC"])", Type{std::string("\b\f\r\t\0\xC3\xA9\xE2\x82\xAC", 10)}},
      {"[\"type\",\"\xE2\x82\xAC\"]", Type{"\xE2\x82\xAC"}},
      {R"({"action":"key_press","key":"a","note":{"any":[1,2,3]}})", KeyPress{"a"}},
      {R"({"action":"key_down","key":"shift"})", KeyDown{"shift"}},
      {R"(["key_up","F12"])", KeyUp{"F12"}},
      {R"({"action":"key_combo","modifiers":["ctrl","alt"],"key":"delete"})", KeyCombo{{"ctrl", "alt"}, "delete"}},
      {R"({"key":"c","action":"key_combo","modifiers":[]})", KeyCombo{{}, "c"}},
      {R"(["key_combo",["ctrl"],"c"])", KeyCombo{{"ctrl"}, "c"}},
      {R"({"action":"gamepad_press","button":"a"})", GamepadPress{"a"}},
      {R"(["gamepad_release","dpad_up"])", GamepadRelease{"dpad_up"}},
      {R"({"action":"gamepad_left_stick","x":0,"y":255})", GamepadLeftStick{0, 255}},
      {R"(["gamepad_right_stick",128,128])", GamepadRightStick{128, 128}},
      {R"({"action":"gamepad_triggers","left":255,"right":0})", GamepadTriggers{255, 0}},
      // Whitespace of every kind between tokens and around the value.
      {" \r\n\t{ \"action\" :\n\"key_up\" ,\r\n\"key\" : \"x\" } \n\t", KeyUp{"x"}},
      {"\n[ \"key_up\" ,\n \"x\" ]\n", KeyUp{"x"}},
      // Names are compared after their escapes are resolved.
      {R"({"\u0061ction":"key_up","k\u0065y":"x"})", KeyUp{"x"}},
      {R"({"action":"key_\u0075p","key":"\"\\\/"})", KeyUp{"\"\\/"}},
      // Members that name no field are ignored, whatever they hold.
      {R"({"Action":1,"action":"key_up","KEY":2,"key":"x","n":1,"n":[{}],"x":{"y":[1.5e300,null]}})", KeyUp{"x"}},
      {R"({"action":"mouse_click","text":5,"key":true})", MouseClick{}},
      {R"({"action":"key_up","key":"x","deep":[[[[[[[[[[{"a":[]}]]]]]]]]]]})", KeyUp{"x"}},
  };
  for (const auto& c : cases) {
    DecodeResult result = decode_action(c.text);
    ASSERT_TRUE(result.ok()) << c.text << ": " << result.message();
    EXPECT_EQ(result.take_action(), c.action) << c.text;
  }
}

struct FailureCase {
  std::string text;
  std::string message;
};

TEST(DecodeAction, FieldFailuresHaveNoPositionAndComeInTextThenTableOrder) {
  const FailureCase cases[] = {
      // Integers: range per type; a float never converts, even when integral.
      {R"({"action":"mouse_move","x":10.0,"y":0})", "invalid type: floating point `10.0`, expected i32"},
      {R"({"action":"mouse_move","x":1e2,"y":0})", "invalid type: floating point `100.0`, expected i32"},
      {R"({"action":"mouse_move","x":1,"y":2147483648})", "invalid value: integer `2147483648`, expected i32"},
      {R"({"action":"mouse_move","x":-2147483649,"y":0})", "invalid value: integer `-2147483649`, expected i32"},
      {R"({"action":"mouse_move","x":18446744073709551615,"y":0})",
       "invalid value: integer `18446744073709551615`, expected i32"},
      {R"({"action":"mouse_move","x":18446744073709551616,"y":0})",
       "invalid type: floating point `1.8446744073709552e19`, expected i32"},
      {R"({"action":"mouse_move","x":-9223372036854775808,"y":0})",
       "invalid value: integer `-9223372036854775808`, expected i32"},
      {R"({"action":"mouse_move","x":-9223372036854775809,"y":0})",
       "invalid type: floating point `-9.223372036854776e18`, expected i32"},
      {R"({"action":"mouse_scroll","delta":128})", "invalid value: integer `128`, expected i8"},
      {R"({"action":"mouse_scroll","delta":-129})", "invalid value: integer `-129`, expected i8"},
      {R"({"action":"mouse_scroll","delta":-0})", "invalid type: floating point `-0.0`, expected i8"},
      {R"({"action":"mouse_scroll","delta":0.5})", "invalid type: floating point `0.5`, expected i8"},
      {R"({"action":"gamepad_triggers","left":-1,"right":0})", "invalid value: integer `-1`, expected u8"},
      {R"({"action":"gamepad_triggers","left":255,"right":256})", "invalid value: integer `256`, expected u8"},
      {R"(["gamepad_left_stick",1e16,0])", "invalid type: floating point `1e16`, expected u8"},
      {R"(["gamepad_left_stick",0,1.25e-7])", "invalid type: floating point `1.25e-7`, expected u8"},
      // Every other kind of value, described.
      {R"({"action":"mouse_move","x":true,"y":0})", "invalid type: boolean `true`, expected i32"},
      {R"({"action":"mouse_move","x":null,"y":0})", "invalid type: null, expected i32"},
      {R"({"action":"mouse_move","x":"5","y":0})", "invalid type: string \"5\", expected i32"},
      {R"({"action":"mouse_move","x":[5],"y":0})", "invalid type: sequence, expected i32"},
      {R"({"action":"mouse_move","x":{},"y":0})", "invalid type: map, expected i32"},
      {R"({"action":"type","text":5})", "invalid type: integer `5`, expected a string"},
      {R"({"action":"type","text":-5})", "invalid type: integer `-5`, expected a string"},
      {R"({"action":"type","text":null})", "invalid type: null, expected a string"},
      {R"({"action":"mouse_click","button":false})", "invalid type: boolean `false`, expected a string"},
      {R"(["mouse_up",["left"]])", "invalid type: sequence, expected a string"},
      {R"({"action":"key_combo","modifiers":"ctrl","key":"c"})", "invalid type: string \"ctrl\", expected a sequence"},
      {R"({"action":"key_combo","modifiers":{},"key":"c"})", "invalid type: map, expected a sequence"},
      {R"({"action":"key_combo","modifiers":["ctrl",1],"key":"c"})", "invalid type: integer `1`, expected a string"},
      {R"(["key_combo",[["ctrl"]],"c"])", "invalid type: sequence, expected a string"},
      // Strings are shown with quotes, backslashes and control characters escaped.
      {R"({"action":"mouse_move","x":"a\tb\r\n\u0000\u0001\u001f\u007f\u0085 \u00e9 \"q\" \\","y":0})",
       "invalid type: string \"a\\tb\\r\\n\\0\\u{1}\\u{1f}\\u{7f}\\u{85} \xC3\xA9 \\\"q\\\" \\\\\", expected i32"},
      // Duplicates and absent fields.
      {R"({"action":"mouse_move","x":1,"x":2,"y":3})", "duplicate field `x`"},
      {R"({"action":"mouse_click","button":null,"button":"left"})", "duplicate field `button`"},
      {R"({"action":"mouse_move"})", "missing field `x`"},
      {R"({"action":"mouse_move","x":1})", "missing field `y`"},
      {R"({"action":"key_combo","key":"c"})", "missing field `modifiers`"},
      {R"({"action":"key_combo","modifiers":[]})", "missing field `key`"},
      {R"({"action":"gamepad_press"})", "missing field `button`"},
      {R"({"action":"type","Text":"a"})", "missing field `text`"},
      // Array shape: too few elements, then too many.
      {R"(["mouse_click"])", "invalid length 0, expected struct variant AgentAction::MouseClick with 1 element"},
      {R"(["mouse_move",1])", "invalid length 1, expected struct variant AgentAction::MouseMove with 2 elements"},
      {R"(["gamepad_triggers"])",
       "invalid length 0, expected struct variant AgentAction::GamepadTriggers with 2 elements"},
      {R"(["mouse_move",1,2,3])", "invalid length 3, expected 2 elements in sequence"},
      {R"(["type","a","b"])", "invalid length 2, expected 1 element in sequence"},
      // Members are converted in text order; the first bad one is reported.
      {R"({"action":"mouse_move","y":"a","x":"b"})", "invalid type: string \"a\", expected i32"},
      // A conversion failure comes before a missing field...
      {R"({"action":"mouse_move","y":"bad"})", "invalid type: string \"bad\", expected i32"},
      // ...and a repeated field is refused before its value is looked at.
      {R"({"action":"mouse_move","x":1,"x":"bad"})", "duplicate field `x`"},
      {R"({"action":"mouse_move","x":"bad","x":1})", "invalid type: string \"bad\", expected i32"},
      // Missing fields in table order, not text order.
      {R"({"action":"gamepad_triggers","z":1})", "missing field `left`"},
      // Array shape: elements convert before the count is checked.
      {R"(["mouse_move","a"])", "invalid type: string \"a\", expected i32"},
      {R"(["mouse_move",1,"a",3])", "invalid type: string \"a\", expected i32"},
      {R"(["mouse_move",1,2,"junk"])", "invalid length 3, expected 2 elements in sequence"},
      // A failure inside the action outranks what follows the text.
      {R"({"action":"mouse_move"} x)", "missing field `x`"},
      {R"(["type"] ])", "invalid length 0, expected struct variant AgentAction::Type with 1 element"},
  };
  for (const auto& c : cases) EXPECT_EQ(message_of(c.text), c.message) << c.text;
}

TEST(DecodeAction, FailuresWhileReadingCarryTheirPosition) {
  const FailureCase cases[] = {
      {"", "EOF while parsing a value at line 1 column 0"},
      {"  \n ", "EOF while parsing a value at line 2 column 1"},
      // Not an object or array: reported just after the value.
      {R"("mouse_move")",
       "invalid type: string \"mouse_move\", expected internally tagged enum AgentAction at line 1 column 12"},
      {"5", "invalid type: integer `5`, expected internally tagged enum AgentAction at line 1 column 1"},
      {" -0 ", "invalid type: floating point `-0.0`, expected internally tagged enum AgentAction at line 1 column 3"},
      {"null", "invalid type: null, expected internally tagged enum AgentAction at line 1 column 4"},
      {"true x", "invalid type: boolean `true`, expected internally tagged enum AgentAction at line 1 column 4"},
      {"nul", "EOF while parsing a value at line 1 column 3"},
      {"x", "expected value at line 1 column 1"},
      // No tag: just after the closing bracket.
      {R"({"x":1})", "missing field `action` at line 1 column 7"},
      {"[]", "missing field `action` at line 1 column 2"},
      {"{}", "missing field `action` at line 1 column 2"},
      {"[ ]", "missing field `action` at line 1 column 3"},
      {"{\n}", "missing field `action` at line 2 column 1"},
      {R"({"Action":"type"})", "missing field `action` at line 1 column 17"},
      // A tag that is not a string: just after it, or before an array or object.
      {R"({"action":5})", "invalid type: integer `5`, expected variant identifier at line 1 column 11"},
      {R"({"action":null})", "invalid type: null, expected variant identifier at line 1 column 14"},
      {R"({"action":true})", "invalid type: boolean `true`, expected variant identifier at line 1 column 14"},
      {R"({"action":1.5})", "invalid type: floating point `1.5`, expected variant identifier at line 1 column 13"},
      {R"({"action":[1]})", "invalid type: sequence, expected variant identifier at line 1 column 10"},
      {R"({"action": {}})", "invalid type: map, expected variant identifier at line 1 column 11"},
      {"[5]", "invalid type: integer `5`, expected variant identifier at line 1 column 2"},
      {R"([{"action":"type"}])", "invalid type: map, expected variant identifier at line 1 column 1"},
      {"{\n\"action\"\n:\n5}", "invalid type: integer `5`, expected variant identifier at line 4 column 1"},
      // Unknown tags, matched byte for byte.
      {R"({"action":"jump"})", unknown("jump", "16")},
      {R"({"action":"Mouse_Move"})", unknown("Mouse_Move", "22")},
      {R"({"action":""})", unknown("", "12")},
      {R"(["jump",1])", unknown("jump", "7")},
      {R"({"action":"a\nb"})", unknown("a\nb", "16")},
      // The repeated tag name: just after it, whatever follows.
      {R"({"action":"type","action":"type"})", "duplicate field `action` at line 1 column 25"},
      {R"({"action":"type","action" :1})", "duplicate field `action` at line 1 column 25"},
      {R"({"action":"type","action"})", "duplicate field `action` at line 1 column 25"},
      {"{\"action\":\"type\", \"action\"\n:1}", "duplicate field `action` at line 1 column 26"},
      {R"({"action":"key_up","key":"a","action":"jump"})", "duplicate field `action` at line 1 column 37"},
      // Syntax errors anywhere before the end of the action.
      {R"({"note":[1,2,,],"action":"type"})", "expected value at line 1 column 14"},
      {R"({"action":"type","text":"a",})", "trailing comma at line 1 column 29"},
      {R"({"action":"type","text":"x" )", "EOF while parsing an object at line 1 column 28"},
      {R"(["type")", "EOF while parsing a list at line 1 column 7"},
      {R"(["type" "a"])", "expected `,` or `]` at line 1 column 9"},
      {R"({"action":"type","text":1e999})", "number out of range at line 1 column 29"},
      {R"({"action":"type","text":"\uD800"})", "unexpected end of hex escape at line 1 column 32"},
      {"[\"type\",\"\xFF\"]", "invalid unicode code point at line 1 column 11"},
      {"{\"action\":\"type\",\n\"text\":\"a\tb\"}", "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 10"},
      // Trailing characters after a complete action.
      {R"({"action":"key_up","key":"x"} x)", "trailing characters at line 1 column 31"},
      {"{\"action\":\"key_up\",\"key\":\"x\"}\n\n  }", "trailing characters at line 3 column 3"},
      {R"(["mouse_move",1,2] ])", "trailing characters at line 1 column 20"},
      // Once the tag is known to be bad nothing after it is read, not even a syntax error.
      {R"({"action":"jump", this is not json)", unknown("jump", "16")},
      {R"({"action":"jump"} x)", unknown("jump", "16")},
      {R"(["jump",)", unknown("jump", "7")},
      {R"({"action":7,,,})", "invalid type: integer `7`, expected variant identifier at line 1 column 11"},
      {R"({"action": [1,2)", "invalid type: sequence, expected variant identifier at line 1 column 11"},
      {R"({"action":"type","action":)", "duplicate field `action` at line 1 column 25"},
  };
  for (const auto& c : cases) EXPECT_EQ(message_of(c.text), c.message) << c.text;
}

TEST(DecodeAction, NestingLimitCountsTheActionItself) {
  const auto nested = [](int levels) {
    return R"({"action":"key_up","key":"x","deep":)" + std::string(levels, '[') + std::string(levels, ']') + "}";
  };
  EXPECT_EQ(message_of(nested(JsonReader::kMaxDepth - 1)), "decoded");
  const std::string too_deep = nested(JsonReader::kMaxDepth);
  EXPECT_EQ(message_of(too_deep), "recursion limit exceeded at line 1 column " + std::to_string(too_deep.find(']')));
  EXPECT_EQ(message_of(std::string(200000, '[')), "invalid type: sequence, expected variant identifier at line 1 column 1");
}

TEST(DecodeAction, TagTableMatchesTheVariantNames) {
  EXPECT_EQ(kActionTags.size(), 16u);
  for (std::size_t i = 0; i < kActionTags.size(); ++i) {
    const std::string tag(kActionTags[i]);
    EXPECT_EQ(message_of("[\"" + tag + "\"]").find("invalid length 0, expected struct variant AgentAction::"), 0u);
    EXPECT_EQ(decode_action("{\"action\":\"" + tag + "\"}").ok(), tag.starts_with("mouse_") && tag != "mouse_move" &&
                                                                    tag != "mouse_scroll")
        << tag;
  }
}

}  // namespace
}  // namespace ondrel
