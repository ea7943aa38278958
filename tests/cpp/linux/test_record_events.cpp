#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "linux/evdev_text.h"
#include "platform/linux/event_writer.h"
#include "platform/linux/record_events.h"

namespace ondrel {
namespace {

using testing::describe;
using Texts = std::vector<std::string>;
namespace mouse_flag = win32::mouse_flag;
namespace key_flag = win32::key_flag;

struct RecordCase {
  const char* what;
  win32::Input input;
  InputDeviceKind kind;
  Texts expected;  // empty: refused
};

win32::Input move(std::int32_t dx, std::int32_t dy) { return win32::mouse_input(dx, dy, 0, mouse_flag::move); }
win32::Input button(std::uint32_t flag) { return win32::mouse_input(0, 0, 0, flag); }
win32::Input wheel(std::int32_t data) { return win32::mouse_input(0, 0, data, mouse_flag::wheel); }
win32::Input key(std::uint16_t virtual_key, std::uint32_t flags) { return win32::keyboard_input(virtual_key, flags); }

constexpr auto kMouse = InputDeviceKind::mouse;
constexpr auto kKeyboard = InputDeviceKind::keyboard;

TEST(RecordEvents, EachRecordIsOneReportOrRefused) {
  const RecordCase cases[] = {
      {"move", move(127, -40), kMouse, {"REL_X 127", "REL_Y -40", "SYN_REPORT"}},
      {"move along y only", move(0, 5), kMouse, {"REL_Y 5", "SYN_REPORT"}},
      {"left down", button(mouse_flag::left_down), kMouse, {"BTN_LEFT 1", "SYN_REPORT"}},
      {"left up", button(mouse_flag::left_up), kMouse, {"BTN_LEFT 0", "SYN_REPORT"}},
      {"right down", button(mouse_flag::right_down), kMouse, {"BTN_RIGHT 1", "SYN_REPORT"}},
      {"right up", button(mouse_flag::right_up), kMouse, {"BTN_RIGHT 0", "SYN_REPORT"}},
      {"middle down", button(mouse_flag::middle_down), kMouse, {"BTN_MIDDLE 1", "SYN_REPORT"}},
      {"middle up", button(mouse_flag::middle_up), kMouse, {"BTN_MIDDLE 0", "SYN_REPORT"}},
      {"wheel back 2", wheel(-240), kMouse, {"REL_WHEEL -2", "REL_WHEEL_HI_RES -240", "SYN_REPORT"}},
      {"wheel forward 1", wheel(120), kMouse, {"REL_WHEEL 1", "REL_WHEEL_HI_RES 120", "SYN_REPORT"}},
      {"wheel under a notch", wheel(60), kMouse, {"REL_WHEEL_HI_RES 60", "SYN_REPORT"}},
      {"absolute move", button(mouse_flag::move | 0x8000), kMouse, {}},
      {"horizontal wheel", button(0x1000), kMouse, {}},
      {"mouse record on a keyboard", move(1, 1), kKeyboard, {}},
      {"A down", key(0x41, 0), kKeyboard, {"KEY_A 1", "SYN_REPORT"}},
      {"A up", key(0x41, key_flag::key_up), kKeyboard, {"KEY_A 0", "SYN_REPORT"}},
      {"left arrow, extended", key(0x25, key_flag::extended_key), kKeyboard, {"KEY_LEFT 1", "SYN_REPORT"}},
      {"F11 up", key(0x7A, key_flag::key_up), kKeyboard, {"KEY_F11 0", "SYN_REPORT"}},
      {"left shift", key(0xA0, 0), kKeyboard, {"KEY_LEFTSHIFT 1", "SYN_REPORT"}},
      {"left windows key up", key(0x5B, key_flag::key_up), kKeyboard, {"KEY_LEFTMETA 0", "SYN_REPORT"}},
      {"virtual key not ours", key(0x90, 0), kKeyboard, {}},
      {"unicode flag", key(0x41, 0x0004), kKeyboard, {}},
      {"key record on a mouse", key(0x41, 0), kMouse, {}},
  };
  for (const RecordCase& c : cases) {
    std::vector<input_event> events = {uinput::evdev_event(EV_MSC, MSC_SCAN, 7)};  // to see it untouched
    const std::vector<input_event> before = events;
    const bool played = uinput::events_for_record(c.input, c.kind, events);
    if (c.expected.empty()) {
      EXPECT_FALSE(played) << c.what;
      EXPECT_EQ(describe(events), describe(before)) << c.what << ": untouched when refused";
    } else {
      EXPECT_TRUE(played) << c.what;
      EXPECT_EQ(describe(events), c.expected) << c.what;
    }
  }
}

}  // namespace
}  // namespace ondrel
