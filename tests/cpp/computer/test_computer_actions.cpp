// Actions of the three vocabularies and the calls they make. The fields and
// their defaults follow each API's documentation:
//   Anthropic: https://platform.claude.com/docs/en/agents-and-tools/tool-use/computer-use-tool
//              (and the SDK's BetaComputer*Input types)
//   OpenAI:    https://platform.openai.com/docs/guides/tools-computer-use
//              (and the API reference's ComputerAction)
//   Gemini:    https://ai.google.dev/gemini-api/docs/computer-use ("Supported actions")
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "computer/computer_action.h"
#include "recording_input.h"

namespace ondrel::computer {
namespace {

using testing::RecordingInput;

struct Good {
  std::string_view json;
  std::string_view calls;
  std::optional<Size> scale_from = std::nullopt;
};

// The screen is 1920x1080; 1280x720 screenshots scale by 1.5.
constexpr Size kShot{1280, 720};

const Good kAnthropic[] = {
    {R"({"action": "key", "text": "ctrl+s"})", "Control_L down; s down; wait 3; s up; Control_L up"},
    {R"({"action": "key", "text": "Up KP_0", "repeat": 2})", "Up down; wait 3; Up up; KP_0 down; wait 3; KP_0 up; Up down; wait 3; Up up; KP_0 down; wait 3; KP_0 up"},
    {R"({"action": "hold_key", "text": "shift", "duration": 1.5})", "Shift_L down; wait 1500; Shift_L up"},
    {R"({"action": "type", "text": "h\u00e9llo \u4e16\u754c"})", "write h\xC3\xA9llo \xE4\xB8\x96\xE7\x95\x8C"},
    {R"({"action": "mouse_move", "coordinate": [100, 200]})", "move 100,200"},
    {R"({"action": "mouse_move", "coordinate": [100, 200]})", "move 150,300", kShot},
    {R"({"action": "mouse_move", "coordinate": [1, 1279]})", "move 2,1079", Size{1280, 1280}},
    {R"({"action": "mouse_move", "coordinate": [1279, 719]})", "move 1919,1079", kShot},
    {R"({"action": "left_click"})", "click left"},
    {R"({"action": "left_click", "coordinate": [10, 20], "text": "shift"})", "move 10,20; Shift_L down; click left; Shift_L up"},
    {R"({"action": "right_click", "coordinate": [10, 20]})", "move 10,20; click right"},
    {R"({"action": "middle_click"})", "click middle"},
    {R"({"action": "double_click", "text": "ctrl+alt"})", "Control_L down; Alt_L down; click left x2; Alt_L up; Control_L up"},
    {R"({"action": "triple_click", "coordinate": [4, 4]})", "move 6,6; click left x3", kShot},
    {R"({"action": "left_mouse_down"})", "left down"},
    {R"({"action": "left_mouse_up", "coordinate": [7, 8]})", "move 7,8; left up"},
    {R"({"action": "left_click_drag", "start_coordinate": [1, 2], "coordinate": [30, 40]})",
     "move 1,2; left down; move 4,6; move 7,10; move 10,13; move 13,17; move 16,21; move 18,25; move 21,29; move 24,32; "
     "move 27,36; move 30,40; left up"},
    {R"({"action": "scroll", "coordinate": [500, 400], "scroll_direction": "down", "scroll_amount": 3})", "move 500,400; scroll 0,3"},
    {R"({"action": "scroll", "scroll_direction": "left", "scroll_amount": 2, "text": "ctrl"})", "Control_L down; scroll -2,0; Control_L up"},
    {R"({"action": "scroll", "scroll_direction": "up", "scroll_amount": 0})", ""},
    {R"({"action": "wait"})", "wait 1000"},
    {R"({"action": "wait", "duration": 0.25})", "wait 250"},
    {R"({"action": "wait", "duration": 60})", "wait 60000"},
    // xdotool's keysym names: shifted characters with Shift, keypad and media keys.
    {R"({"action": "key", "text": "ctrl+plus"})", "Control_L down; Shift_L down; equal down; wait 3; equal up; Shift_L up; Control_L up"},
    {R"({"action": "key", "text": "question at"})", "Shift_L down; slash down; wait 3; slash up; Shift_L up; Shift_L down; 2 down; wait 3; 2 up; Shift_L up"},
    {R"({"action": "key", "text": "eacute Eacute EuroSign \u00df !"})", "write \xC3\xA9; write \xC3\x89; write \xE2\x82\xAC; write \xC3\x9F; write !"},
    {R"({"action": "key", "text": "Meta_L KP_Home XF86AudioRaiseVolume"})",
     "Super_L down; wait 3; Super_L up; KP_7 down; wait 3; KP_7 up; XF86AudioRaiseVolume down; wait 3; XF86AudioRaiseVolume up"},
    // The toolset's tool_use block itself.
    {R"({"type": "tool_use", "id": "t1", "name": "left_click", "input": {"coordinate": [640, 360]}, "toolset_name": "computer"})",
     "move 960,540; click left", kShot},
    {R"({"name": "key", "input": {"text": "Return"}, "id": "t2"})", "Return down; wait 3; Return up"},
};

const Good kOpenAi[] = {
    {R"({"type": "click", "x": 10, "y": 20, "button": "right"})", "move 10,20; click right"},
    {R"({"type": "click", "x": 10, "y": 20, "button": "wheel"})", "move 10,20; click middle"},
    {R"({"type": "click", "x": 10, "y": 20, "button": "back"})", "move 10,20; click back"},
    {R"({"type": "click", "x": 10, "y": 20, "button": "forward", "keys": []})", "move 10,20; click forward"},
    {R"({"type": "click", "x": 10, "y": 20, "keys": ["CTRL"]})", "move 10,20; Control_L down; click left; Control_L up"},
    {R"({"type": "double_click", "x": 100, "y": 2})", "move 150,3; click left x2", kShot},
    {R"({"type": "drag", "path": [{"x": 1, "y": 2}, {"x": 3, "y": 4}, {"x": 5, "y": 6}]})",
     "move 1,2; left down; move 2,3; move 3,4; move 4,5; move 5,6; left up"},
    {R"({"type": "drag", "path": [{"x": 1, "y": 2}, {"x": 3, "y": 4}], "keys": ["SHIFT"]})",
     "move 1,2; Shift_L down; left down; move 2,3; move 3,4; left up; Shift_L up"},
    {R"({"type": "keypress", "keys": ["CTRL", "SHIFT", "ESC"]})", "Control_L down; Shift_L down; Escape down; wait 3; Escape up; Shift_L up; Control_L up"},
    {R"({"type": "keypress", "keys": ["ARROWDOWN"]})", "Down down; wait 3; Down up"},
    {R"({"type": "move", "x": 7, "y": 8})", "move 7,8"},
    {R"({"type": "scroll", "x": 10, "y": 10, "scroll_x": -50, "scroll_y": 300})", "move 10,10; scroll -1,3"},
    {R"({"type": "scroll", "x": 10, "y": 10, "scroll_x": 0, "scroll_y": -120, "keys": ["ALT"]})", "move 10,10; Alt_L down; scroll 0,-1; Alt_L up"},
    {R"({"type": "type", "text": "Hello"})", "write Hello"},
    {R"({"type": "wait"})", "wait 1000"},
    // The computer_call: its batch in order, a screenshot in it left to the answer.
    {R"({"type": "computer_call", "id": "cu1", "call_id": "c1", "status": "completed", "pending_safety_checks": [],
         "actions": [{"type": "click", "x": 1, "y": 2, "button": "left"}, {"type": "screenshot"}, {"type": "type", "text": "ok"}]})",
     "move 1,2; click left; write ok"},
    {R"({"type": "computer_call", "call_id": "c2", "action": {"type": "keypress", "keys": ["ENTER"]}})", "Return down; wait 3; Return up"},
};

const Good kGemini[] = {
    {R"({"name": "click_at", "args": {"y": 500, "x": 500}})", "move 960,540; click left"},
    {R"({"name": "click_at", "args": {"x": 999.0, "y": 999.0}, "id": "c1"})", "move 1918,1078; click left"},
    {R"({"name": "click_at", "args": {"x": 500, "y": 500}})", "move 960,540; click left", kShot},
    {R"({"name": "hover_at", "args": {"x": 0, "y": 0, "intent": "see the menu"}})", "move 0,0"},
    {R"({"name": "type_text_at", "args": {"x": 0, "y": 0, "text": "hi"}})",
     "move 0,0; click left; Control_L down; a down; wait 3; a up; Control_L up; BackSpace down; wait 3; BackSpace up; write hi"},
    {R"({"name": "type_text_at", "args": {"x": 0, "y": 0, "text": "hi", "press_enter": true, "clear_before_typing": false}})",
     "move 0,0; click left; write hi; Return down; wait 3; Return up"},
    {R"({"name": "type_text_at", "args": {"x": 0, "y": 0, "text": "hi", "press_enter": false, "clear_before_typing": false}})",
     "move 0,0; click left; write hi"},
    {R"({"name": "key_combination", "args": {"keys": "control+c"}})", "Control_L down; c down; wait 3; c up; Control_L up"},
    {R"({"name": "key_combination", "args": {"keys": "Enter"}})", "Return down; wait 3; Return up"},
    {R"({"name": "scroll_document", "args": {"direction": "down"}})", "Page_Down down; wait 3; Page_Down up"},
    {R"({"name": "scroll_document", "args": {"direction": "up"}})", "Page_Up down; wait 3; Page_Up up"},
    {R"({"name": "scroll_document", "args": {"direction": "right"}})", "scroll 8,0"},
    {R"({"name": "scroll_at", "args": {"x": 500, "y": 500, "direction": "left", "magnitude": 100}})", "move 960,540; scroll -2,0"},
    {R"({"name": "scroll_at", "args": {"x": 500, "y": 500, "direction": "up", "magnitude": 0}})", "move 960,540"},
    {R"({"name": "drag_and_drop", "args": {"x": 0, "y": 0, "destination_x": 500, "destination_y": 500}})",
     "move 0,0; left down; move 96,54; move 192,108; move 288,162; move 384,216; move 480,270; move 576,324; "
     "move 672,378; move 768,432; move 864,486; move 960,540; left up"},
    {R"({"name": "wait_5_seconds", "args": {}})", "wait 5000"},
    {R"({"name": "wait_5_seconds"})", "wait 5000"},
    // Gemini 3.5's names.
    {R"({"name": "click", "args": {"x": 500, "y": 500, "intent": "open it"}})", "move 960,540; click left"},
    {R"({"name": "double_click", "args": {"x": 0, "y": 0}})", "move 0,0; click left x2"},
    {R"({"name": "triple_click", "args": {}})", "click left x3"},
    {R"({"name": "middle_click", "args": {"x": 0, "y": 0}})", "move 0,0; click middle"},
    {R"({"name": "right_click", "args": {"x": 0, "y": 0}})", "move 0,0; click right"},
    {R"({"name": "mouse_down", "args": {"x": 500, "y": 500}})", "move 960,540; left down"},
    {R"({"name": "mouse_up", "args": {"x": 0, "y": 0, "button": "right"}})", "move 0,0; right up"},
    {R"({"name": "move", "args": {"x": 0, "y": 999}})", "move 0,1078"},
    {R"({"name": "type", "args": {"text": "hi"}})", "write hi"},
    {R"({"name": "wait", "args": {}})", "wait 1000"},
    {R"({"name": "wait", "args": {"seconds": 2}})", "wait 2000"},
    {R"({"name": "press_key", "args": {"key": "equals"}})", "equal down; wait 3; equal up"},
    {R"({"name": "hotkey", "args": {"keys": ["control", "add"]}})", "Control_L down; KP_Add down; wait 3; KP_Add up; Control_L up"},
    {R"({"name": "key_down", "args": {"key": "shift"}})", "Shift_L down"},
    {R"({"name": "key_up", "args": {"keys": "control+shift"}})", "Shift_L up; Control_L up"},
    {R"({"name": "scroll", "args": {"direction": "down", "magnitude": 100}})", "scroll 0,1"},
};

void expect_calls(const Good& good) {
  RecordingInput input;
  const ActionReply reply = run_computer_action(good.json, input, Scaling{good.scale_from});
  EXPECT_TRUE(reply.success) << good.json << ": " << reply.error;
  EXPECT_EQ(input.joined(), good.calls) << good.json;
}

TEST(ComputerAction, AnthropicActionsMakeTheirCalls) {
  for (const Good& good : kAnthropic) expect_calls(good);
}

TEST(ComputerAction, OpenAiActionsMakeTheirCalls) {
  for (const Good& good : kOpenAi) expect_calls(good);
}

TEST(ComputerAction, GeminiCallsMakeTheirCallsOnTheGridWhateverTheScreenshots) {
  for (const Good& good : kGemini) expect_calls(good);
}

TEST(ComputerAction, CursorPositionAnswersInScreenshotPixels) {
  RecordingInput input;
  input.pointer = {1919, 1079};
  const ActionReply unscaled = run_computer_action(R"({"action": "cursor_position"})", input, Scaling{});
  EXPECT_EQ(unscaled.cursor, (Point{1919, 1079}));
  const ActionReply scaled = run_computer_action(R"({"action": "cursor_position"})", input, Scaling{kShot});
  EXPECT_TRUE(scaled.success);
  EXPECT_EQ(scaled.cursor, (Point{1279, 719}));
  EXPECT_EQ(input.joined(), "");
}

struct Bad {
  std::string_view json;
  std::string_view error;
};

const Bad kBad[] = {
    // Shapes and JSON.
    {"", "EOF while parsing a value at line 1 column 0"},
    {R"({"action": "key",})", "trailing comma at line 1 column 18"},
    {"[1, 2]", "an action must be a JSON object, got `[1, 2]`"},
    {R"({"verb": "click"})", "an action is an Anthropic tool_use block (`name` and `input`) or its `input` (`action`), "
                             "an OpenAI computer_call (`actions`) or one of its actions (`type`), or a Gemini function "
                             "call (`name` and `args`)"},
    {R"({"type": "tool_use", "name": "left_click", "input": {}, "toolset_name": "browser"})",
     "`toolset_name` `\"browser\"` is not the computer toolset"},
    {R"({"type": "computer_call", "call_id": "c", "pending_safety_checks": [{"id": "s1", "code": "malicious_instructions"}],
         "actions": [{"type": "click", "x": 1, "y": 2}]})",
     "the computer_call has 1 pending safety check(s): nothing ran; they need the person's acknowledgement"},
    {R"({"action": 5})", "`action` must be a string, got `5`"},
    {R"({"action": "key", "action": "type"})", "duplicate field `action` in an action"},
    // Anthropic.
    {R"({"action": "click"})", "unknown Anthropic action `click`; expected one of key, hold_key, type, "
                               "cursor_position, mouse_move, left_mouse_down, left_mouse_up, left_click, right_click, "
                               "middle_click, double_click, triple_click, left_click_drag, scroll, wait, screenshot, zoom"},
    {R"({"action": "key", "text": "ctrl+Foo"})", "`text` of `key`: unknown key `Foo` in `ctrl+Foo`"},
    {R"({"action": "key", "text": "  "})", "`text` of `key`: no key in `  `"},
    {R"({"action": "key"})", "`text` is required for `key`"},
    {R"({"action": "key", "text": "a", "repeat": 0})", "`repeat` of `key` must be an integer from 1 to 100, got `0`"},
    {R"({"action": "type", "text": 5})", "`text` of `type` must be a string, got `5`"},
    {R"({"action": "type", "text": "a", "coordinate": [1, 1]})", "`coordinate` is not a field of `type`"},
    {R"({"action": "hold_key", "text": "shift", "duration": 61})",
     "`duration` of `hold_key` must be a number from 0 to 60, got `61`"},
    {R"({"action": "mouse_move"})", "`coordinate` is required for `mouse_move`"},
    {R"({"action": "mouse_move", "coordinate": [1, 2, 3]})", "`coordinate` of `mouse_move` must be [x, y], two integers, got `[1, 2, 3]`"},
    {R"({"action": "mouse_move", "coordinate": [1.5, 2]})", "`coordinate` of `mouse_move` must be [x, y], two integers, got `[1.5, 2]`"},
    {R"({"action": "mouse_move", "coordinate": [1920, 5]})", "`coordinate` [1920, 5] is outside the screen (1920x1080)"},
    {R"({"action": "left_click", "coordinate": [-1, 5]})", "`coordinate` [-1, 5] is outside the screen (1920x1080)"},
    {R"({"action": "left_click", "coordinate": [5, 5], "text": "shift+mouse"})", "`text` of `left_click`: unknown key `mouse` in `shift+mouse`"},
    {R"({"action": "left_click_drag", "coordinate": [5, 5]})", "`start_coordinate` is required for `left_click_drag`"},
    {R"({"action": "scroll", "scroll_direction": "sideways", "scroll_amount": 1})",
     "`scroll_direction` of `scroll` must be up, down, left or right, got `\"sideways\"`"},
    {R"({"action": "scroll", "scroll_direction": "up"})", "`scroll_amount` is required for `scroll`"},
    {R"({"action": "wait", "duration": -1})", "`duration` of `wait` must be a number from 0 to 60, got `-1`"},
    {R"({"action": "wait", "duration": 61})", "`duration` of `wait` must be a number from 0 to 60, got `61`"},
    {R"({"action": "screenshot"})", "`screenshot` is a screen capture, not an input action: the caller takes the screenshot"},
    {R"({"action": "zoom", "region": [0, 0, 10, 10]})",
     "`zoom` is a screen capture, not an input action: the caller crops and scales the screenshot"},
    // OpenAI.
    {R"({"type": "click", "x": 10})", "`y` is required for `click`"},
    {R"({"type": "click", "x": 10, "y": 20, "button": "middle"})",
     "`button` of `click` must be left, right, wheel, back or forward, got `\"middle\"`"},
    {R"({"type": "click", "x": 10, "y": 2000})", "`x`, `y` (10, 2000) is outside the screen (1920x1080)"},
    {R"({"type": "keypress", "keys": "ctrl+c"})", "`keys` of `keypress` must be a list of strings, got `\"ctrl+c\"`"},
    {R"({"type": "keypress", "keys": ["CTRL", "NOPE"]})", "`keys` of `keypress`: unknown key `NOPE` in `NOPE`"},
    {R"({"type": "drag", "path": [{"x": 1, "y": 2}]})", "`path` of `drag` needs at least 2 points, got 1"},
    {R"({"type": "drag", "path": [{"x": 1, "y": 2}, {"x": 1}]})", "`path[1]`: `y` is required for `drag`"},
    {R"({"type": "drag", "path": [{"x": 1, "y": 2}, [3, 4]]})", "`path[1]` must be a JSON object, got `[3, 4]`"},
    {R"({"type": "drag", "path": [{"x": 1, "y": 2}, {"x": 3, "y": 4000}]})", "`path[1]` (3, 4000) is outside the screen (1920x1080)"},
    {R"({"type": "scroll", "x": 1, "y": 1, "scroll_x": 0})", "`scroll_y` is required for `scroll`"},
    {R"({"type": "wait", "duration": 5})", "`duration` is not a field of `wait`"},
    {R"({"type": "screenshot"})", "`screenshot` is a screen capture, not an input action: the caller takes the screenshot"},
    {R"({"type": "tap"})", "unknown OpenAI action `tap`; expected one of click, double_click, drag, keypress, move, "
                           "scroll, type, wait, screenshot"},
    // Gemini.
    {R"({"name": "click_at", "args": {"x": 1000, "y": 5}})", "`x`, `y` (1000, 5) is outside the grid of 0 to 999"},
    {R"({"name": "click_at", "args": {"x": 5}})", "`y` is required for `click_at`"},
    {R"({"name": "click_at", "args": [5, 5]})", "`args` must be a JSON object, got `[5, 5]`"},
    {R"({"name": "click_at", "args": {"x": 5, "y": 5}, "extra": 1})", "`extra` is not a member of a Gemini function call"},
    {R"({"name": "type_text_at", "args": {"x": 5, "y": 5, "text": "a", "press_enter": "yes"}})",
     "`press_enter` of `type_text_at` must be true or false, got `\"yes\"`"},
    {R"({"name": "key_combination", "args": {"keys": "control+cc"}})", "`keys` of `key_combination`: unknown key `cc` in `control+cc`"},
    {R"({"name": "scroll_at", "args": {"x": 5, "y": 5, "direction": "down", "magnitude": 1000}})",
     "`magnitude` of `scroll_at` must be an integer from 0 to 999, got `1000`"},
    {R"({"name": "scroll_document", "args": {"direction": "down", "magnitude": 5}})", "`magnitude` is not a field of `scroll_document`"},
    {R"({"name": "navigate", "args": {"url": "https://example.com"}})",
     "`navigate` is a browser function, not available on a desktop"},
    {R"({"name": "open_web_browser"})", "`open_web_browser` is a browser function, not available on a desktop"},
};

TEST(ComputerAction, BadActionsSendNothingAndSayWhatWasWrong) {
  for (const Bad& bad : kBad) {
    RecordingInput input;
    const ActionReply reply = run_computer_action(bad.json, input, Scaling{});
    EXPECT_FALSE(reply.success) << bad.json;
    EXPECT_EQ(reply.error, bad.error) << bad.json;
    EXPECT_EQ(input.joined(), "") << bad.json;
  }
}

TEST(ComputerAction, ABatchStopsAtItsFirstFailureAndNamesItsIndex) {
  RecordingInput input;
  const ActionReply reply = run_computer_action(
      R"({"type": "computer_call", "call_id": "c", "actions": [{"type": "type", "text": "a"},
          {"type": "click", "x": 5000, "y": 1}, {"type": "type", "text": "never"}]})",
      input, Scaling{});
  EXPECT_FALSE(reply.success);
  EXPECT_EQ(reply.error, "action 1 of the computer_call failed (`actions[1]`): `x`, `y` (5000, 1) is outside the "
                         "screen (1920x1080)");
  EXPECT_EQ(input.joined(), "write a");
}

TEST(ComputerAction, PointsOutsideTheScreenshotAreRefusedBeforeScaling) {
  RecordingInput input;
  const ActionReply reply = run_computer_action(R"({"action": "left_click", "coordinate": [1280, 5]})", input, Scaling{kShot});
  EXPECT_EQ(reply.error, "`coordinate` [1280, 5] is outside the screenshot (1280x720)");
  EXPECT_EQ(input.joined(), "");
}

TEST(ComputerAction, AFailedStepLetsGoOfWhatTheActionPressed) {
  struct Case {
    std::string_view json;
    std::size_t fail_call;
    std::string_view calls;
  };
  const Case cases[] = {
      {R"({"action": "left_click", "coordinate": [1, 1], "text": "shift"})", 3, "move 1,1; Shift_L down; FAILED click left; Shift_L up"},
      {R"({"type": "drag", "path": [{"x": 1, "y": 2}, {"x": 3, "y": 4}, {"x": 5, "y": 6}]})", 3,
       "move 1,2; left down; FAILED move 2,3; left up"},
      {R"({"action": "scroll", "scroll_direction": "down", "scroll_amount": 1, "text": "ctrl+shift"})", 3,
       "Control_L down; Shift_L down; FAILED scroll 0,1; Shift_L up; Control_L up"},
      {R"({"name": "type_text_at", "args": {"x": 0, "y": 0, "text": "hi"}})", 4,
       "move 0,0; click left; Control_L down; FAILED a down; Control_L up"},
  };
  for (const Case& c : cases) {
    RecordingInput input;
    input.fail_call = c.fail_call;
    const ActionReply reply = run_computer_action(c.json, input, Scaling{});
    EXPECT_FALSE(reply.success) << c.json;
    EXPECT_EQ(input.joined(), c.calls) << c.json;
  }
}

}  // namespace
}  // namespace ondrel::computer
