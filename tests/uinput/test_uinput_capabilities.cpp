#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "devices/gamepad.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"
#include "platform/key_codes.h"
#include "platform/platform_backends.h"
#include "support/evdev_reader.h"

namespace ondrel {
namespace {

using testing::EvdevReader;
using Codes = std::vector<std::uint16_t>;

Codes sorted(Codes codes) {
  std::sort(codes.begin(), codes.end());
  return codes;
}

Codes key_table_codes() {
  Codes codes;
  for (const KeyCodes& key : kKeyCodes) codes.push_back(key.linux_key);
  for (const ModifierKeyCodes& modifier : kModifierKeyCodes) codes.push_back(modifier.linux_key);
  return sorted(codes);
}

const Codes kGamepadButtons = sorted({BTN_SOUTH, BTN_EAST, BTN_X, BTN_Y, BTN_TL, BTN_TR, BTN_SELECT, BTN_START,
                                      BTN_MODE, BTN_THUMBL, BTN_THUMBR, BTN_DPAD_UP, BTN_DPAD_DOWN, BTN_DPAD_LEFT,
                                      BTN_DPAD_RIGHT});

// Each kind with its default name: what it declares, and nothing more (no
// EV_REP, so the kernel never repeats a held key by itself).
TEST(UinputCapabilities, EachDeviceHasItsDefaultNameAndDeclaresExactlyWhatItSends) {
  {
    MouseDevice mouse(platform_mouse_factory());
    ASSERT_TRUE(mouse.create().ok());
    EvdevReader reader("ondrel Virtual Mouse");
    ASSERT_TRUE(reader.open());
    EXPECT_EQ(reader.device_name(), "ondrel Virtual Mouse");
    EXPECT_EQ(reader.event_types(), (Codes{EV_SYN, EV_KEY, EV_REL}));
    EXPECT_EQ(reader.codes(EV_KEY), (Codes{BTN_LEFT, BTN_RIGHT, BTN_MIDDLE}));
    EXPECT_EQ(reader.codes(EV_REL), (Codes{REL_X, REL_Y, REL_WHEEL, REL_WHEEL_HI_RES}));
  }
  {
    KeyboardDevice keyboard(platform_keyboard_factory());
    ASSERT_TRUE(keyboard.create().ok());
    EvdevReader reader("ondrel Virtual Keyboard");
    ASSERT_TRUE(reader.open());
    EXPECT_EQ(reader.event_types(), (Codes{EV_SYN, EV_KEY}));
    EXPECT_EQ(reader.codes(EV_KEY), key_table_codes());
  }
  {
    GamepadDevice pad(platform_gamepad_factory());
    ASSERT_TRUE(pad.create().ok());
    EvdevReader reader("ondrel Virtual Gamepad");
    ASSERT_TRUE(reader.open());
    EXPECT_EQ(reader.event_types(), (Codes{EV_SYN, EV_KEY, EV_ABS}));
    EXPECT_EQ(reader.codes(EV_KEY), kGamepadButtons);
    EXPECT_EQ(reader.codes(EV_ABS), (Codes{ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ}));
    struct Axis {
      std::uint16_t code;
      std::int32_t neutral;
    };
    for (const Axis axis : {Axis{ABS_X, 128}, Axis{ABS_Y, 128}, Axis{ABS_RX, 128}, Axis{ABS_RY, 128},
                            Axis{ABS_Z, 0}, Axis{ABS_RZ, 0}}) {
      const input_absinfo info = reader.axis(axis.code);
      EXPECT_EQ(info.minimum, 0) << axis.code;
      EXPECT_EQ(info.maximum, 255) << axis.code;
      EXPECT_EQ(info.value, axis.neutral) << axis.code;
      EXPECT_EQ(info.fuzz, 0) << axis.code << ": the kernel would drop small moves";
      EXPECT_EQ(info.flat, 0) << axis.code;
    }
  }
}

template <class Device>
void expect_seen_as(const BackendFactory& factory, const std::string& given, const std::string& seen) {
  Device device(factory, given);
  ASSERT_TRUE(device.create().ok()) << given;
  EvdevReader reader(seen);
  ASSERT_TRUE(reader.open()) << given;
  EXPECT_EQ(reader.device_name(), seen);
}

// The kernel refuses an empty name, and reads one only up to a NUL byte.
TEST(UinputCapabilities, ANameIsKeptCutAtACharacterOrWhenEmptyTheDefault) {
  const std::string long_name = std::string(78, 'n') + "\xC3\xA9";  // 80 bytes; the kernel keeps 79
  expect_seen_as<GamepadDevice>(platform_gamepad_factory(), "pad \xE2\x80\x94 player 1", "pad \xE2\x80\x94 player 1");
  expect_seen_as<GamepadDevice>(platform_gamepad_factory(), long_name, std::string(78, 'n'));
  expect_seen_as<GamepadDevice>(platform_gamepad_factory(), "", "ondrel Virtual Gamepad");
  expect_seen_as<MouseDevice>(platform_mouse_factory(), "", "ondrel Virtual Mouse");
  expect_seen_as<KeyboardDevice>(platform_keyboard_factory(), std::string("\0keys", 5), "ondrel Virtual Keyboard");
}

}  // namespace
}  // namespace ondrel
