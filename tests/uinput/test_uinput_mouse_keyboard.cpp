#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "devices/key_names.h"
#include "devices/keyboard.h"
#include "devices/keyboard_report.h"
#include "devices/mouse.h"
#include "platform/platform_backends.h"
#include "support/evdev_reader.h"

namespace ondrel {
namespace {

using testing::EvdevReader;
using Texts = std::vector<std::string>;

Texts operator+(Texts first, const Texts& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

Texts down(const std::string& key) { return {key + " 1", "SYN_REPORT"}; }
Texts up(const std::string& key) { return {key + " 0", "SYN_REPORT"}; }
Texts tapped(const std::string& key) { return down(key) + up(key); }

// Every operation on a device created just before: the reader opens the
// node as soon as create() returns, so the first event must already reach it.
template <class Device>
void expect_read_back(const BackendFactory& factory, const std::string& what,
                      const std::function<HidResult(Device&)>& operation, const Texts& expected) {
  Device device(factory, "guest " + what);
  ASSERT_TRUE(device.create().ok()) << what;
  EvdevReader reader(device.name());
  ASSERT_TRUE(reader.open()) << what;
  const HidResult result = operation(device);
  ASSERT_TRUE(result.ok()) << what << ": " << result.error().display();
  EXPECT_EQ(reader.take_texts(), expected) << what;
}

struct MouseCase {
  const char* what;
  std::function<HidResult(MouseDevice&)> operation;
  Texts expected;
};

TEST(UinputMouse, OperationsAreReadBackExactly) {
  const MouseCase cases[] = {
      // 300 and -40 over three reports of at most 127: -40 is -14, -13, -13.
      {"move_by(300, -40)", [](MouseDevice& m) { return m.move_by(300, -40); },
       Texts{"REL_X 100", "REL_Y -14", "SYN_REPORT"} + Texts{"REL_X 100", "REL_Y -13", "SYN_REPORT"} +
           Texts{"REL_X 100", "REL_Y -13", "SYN_REPORT"}},
      {"click left", [](MouseDevice& m) { return m.click(MouseButton::Left); }, tapped("BTN_LEFT")},
      {"click right", [](MouseDevice& m) { return m.click(MouseButton::Right); }, tapped("BTN_RIGHT")},
      {"click middle", [](MouseDevice& m) { return m.click(MouseButton::Middle); }, tapped("BTN_MIDDLE")},
      {"right held while left clicks",
       [](MouseDevice& m) {
         ONDREL_TRY(m.press(MouseButton::Right));
         ONDREL_TRY(m.click(MouseButton::Left));
         return m.release(MouseButton::Right);
       },
       down("BTN_RIGHT") + tapped("BTN_LEFT") + up("BTN_RIGHT")},
      {"scroll(-2)", [](MouseDevice& m) { return m.scroll(-2); }, {"REL_WHEEL -2", "REL_WHEEL_HI_RES -240", "SYN_REPORT"}},
  };
  for (const MouseCase& c : cases) expect_read_back<MouseDevice>(platform_mouse_factory(), c.what, c.operation, c.expected);
}

struct KeyboardCase {
  const char* what;
  std::function<HidResult(KeyboardDevice&)> operation;
  Texts expected;
};

std::uint8_t usage(const char* name) {
  std::uint8_t found = 0;
  EXPECT_TRUE(parse_key(name, found).ok()) << name;
  return found;
}

// Every report is played on its own as a press and release of what it
// holds, so a shifted character is three reports with Shift in them.
Texts shifted(const std::string& key) {
  const Texts shift = tapped("KEY_LEFTSHIFT");
  return shift + down("KEY_LEFTSHIFT") + tapped(key) + up("KEY_LEFTSHIFT") + shift;
}

TEST(UinputKeyboard, OperationsAreReadBackExactly) {
  const std::uint8_t ctrl_shift = modifier_bit::left_control | modifier_bit::left_shift;
  const Texts both_tapped = down("KEY_LEFTCTRL") + down("KEY_LEFTSHIFT") + up("KEY_LEFTCTRL") + up("KEY_LEFTSHIFT");
  const KeyboardCase cases[] = {
      {"type_text(Hi!)", [](KeyboardDevice& k) { return k.type_text("Hi!"); },
       shifted("KEY_H") + tapped("KEY_I") + shifted("KEY_1")},
      {"combo(ctrl shift, t)", [&](KeyboardDevice& k) { return k.combo(ctrl_shift, usage("t")); },
       both_tapped + down("KEY_LEFTCTRL") + down("KEY_LEFTSHIFT") + tapped("KEY_T") + up("KEY_LEFTCTRL") +
           up("KEY_LEFTSHIFT") + both_tapped},
      {"press(enter)", [](KeyboardDevice& k) { return k.press(usage("enter")); }, tapped("KEY_ENTER")},
      {"press(delete)", [](KeyboardDevice& k) { return k.press(usage("delete")); }, tapped("KEY_DELETE")},
  };
  for (const KeyboardCase& c : cases)
    expect_read_back<KeyboardDevice>(platform_keyboard_factory(), c.what, c.operation, c.expected);
}

}  // namespace
}  // namespace ondrel
