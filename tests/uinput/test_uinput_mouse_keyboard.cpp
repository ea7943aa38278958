#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
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
using testing::microseconds_between;
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

// Shift goes down once around the key, never tapped on its own.
Texts shifted(const std::string& key) { return down("KEY_LEFTSHIFT") + tapped(key) + up("KEY_LEFTSHIFT"); }

TEST(UinputKeyboard, OperationsAreReadBackExactly) {
  const std::uint8_t ctrl_shift = modifier_bit::left_control | modifier_bit::left_shift;
  const KeyboardCase cases[] = {
      {"type_text(Hi!)", [](KeyboardDevice& k) { return k.type_text("Hi!"); },
       shifted("KEY_H") + tapped("KEY_I") + shifted("KEY_1")},
      {"combo(ctrl shift, t)", [&](KeyboardDevice& k) { return k.combo(ctrl_shift, usage("t")); },
       down("KEY_LEFTCTRL") + down("KEY_LEFTSHIFT") + tapped("KEY_T") + up("KEY_LEFTCTRL") + up("KEY_LEFTSHIFT")},
      {"press(enter)", [](KeyboardDevice& k) { return k.press(usage("enter")); }, tapped("KEY_ENTER")},
      {"press(delete)", [](KeyboardDevice& k) { return k.press(usage("delete")); }, tapped("KEY_DELETE")},
  };
  for (const KeyboardCase& c : cases)
    expect_read_back<KeyboardDevice>(platform_keyboard_factory(), c.what, c.operation, c.expected);
}

// Whether the kernel holds `code` down on the device's node, as an
// application that asks for the key state (EVIOCGKEY) sees it.
bool kernel_holds(const std::string& node, unsigned code) {
  const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  std::array<unsigned char, KEY_MAX / 8 + 1> bits{};
  const bool read = ::ioctl(fd, EVIOCGKEY(bits.size()), bits.data()) >= 0;
  ::close(fd);
  return read && (bits[code / 8] & (1u << (code % 8))) != 0;
}

TEST(UinputKeyboard, KeyDownHoldsTheKeyUntilKeyUpAndPressHoldsTenMilliseconds) {
  KeyboardDevice keyboard(platform_keyboard_factory(), "guest held key");
  ASSERT_TRUE(keyboard.create().ok());
  EvdevReader reader(keyboard.name());
  ASSERT_TRUE(reader.open());
  ASSERT_TRUE(keyboard.key_down(usage("a")).ok());
  EXPECT_EQ(reader.take_texts(), down("KEY_A"));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(reader.take_texts().empty()) << "nothing lets go of the key";
  EXPECT_TRUE(kernel_holds(reader.node(), KEY_A));
  ASSERT_TRUE(keyboard.key_up(usage("a")).ok());
  EXPECT_EQ(reader.take_texts(), up("KEY_A"));
  EXPECT_FALSE(kernel_holds(reader.node(), KEY_A));

  ASSERT_TRUE(keyboard.press(usage("a")).ok());
  std::vector<input_event> keys;
  for (const input_event& event : reader.take_events())
    if (event.type == EV_KEY) keys.push_back(event);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_GE(microseconds_between(keys[0], keys[1]), 10'000);
}

}  // namespace
}  // namespace ondrel
