#include <gtest/gtest.h>
#include <linux/input.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/computer_system.h"
#include "support/evdev_reader.h"

namespace ondrel {
namespace {

using testing::EvdevReader;
using Texts = std::vector<std::string>;

constexpr Size kScreen{1920, 1080};

Texts operator+(Texts first, const Texts& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

Texts down(const std::string& key) { return {key + " 1", "SYN_REPORT"}; }
Texts up(const std::string& key) { return {key + " 0", "SYN_REPORT"}; }
Texts tapped(const std::string& key) { return down(key) + up(key); }
Texts shifted(const std::string& key) { return down("KEY_LEFTSHIFT") + tapped(key) + up("KEY_LEFTSHIFT"); }

void expect_ok(const Outcome& outcome, const std::string& what) {
  EXPECT_TRUE(outcome.ok()) << what << ": " << outcome.error();
}

TEST(UinputComputer, PointerAndKeyboardEventsAreReadBackExactly) {
  Expected<std::unique_ptr<ComputerSystem>> opened = open_computer_system(kScreen);
  ASSERT_TRUE(opened.ok()) << opened.error();
  const std::unique_ptr<ComputerSystem> system = std::move(opened).take();
  EvdevReader pointer("ondrel Computer Pointer");
  EvdevReader keyboard("ondrel Computer Keyboard");
  ASSERT_TRUE(pointer.open() && keyboard.open());

  EXPECT_EQ(pointer.axis(ABS_X).maximum, kScreen.width - 1);
  EXPECT_EQ(pointer.axis(ABS_Y).maximum, kScreen.height - 1);
  EXPECT_GT(pointer.axis(ABS_X).resolution, 0);
  EXPECT_EQ(system->position().error(),
            "the pointer's position is unknown until move_to: uinput cannot ask the compositor where the pointer is");

  // The axes start at 0: a move there, or back to where an axis stands,
  // passes through a neighbour that the kernel does not drop as a repeat.
  expect_ok(system->move_to({0, 0}), "move_to(0, 0)");
  expect_ok(system->move_to({1919, 1079}), "move_to(1919, 1079)");
  expect_ok(system->move_to({1919, 7}), "move_to(1919, 7)");
  EXPECT_EQ(system->position().value(), (Point{1919, 7}));
  expect_ok(system->button(Button::back, true), "back down");
  expect_ok(system->button(Button::back, false), "back up");
  expect_ok(system->button(Button::forward, true), "forward down");
  expect_ok(system->button(Button::left, true), "left down");
  expect_ok(system->button(Button::left, false), "left up");
  expect_ok(system->button(Button::forward, false), "forward up");
  expect_ok(system->wheel(2, 3), "wheel(2, 3)");
  expect_ok(system->wheel(0, -1), "wheel(0, -1)");
  EXPECT_EQ(pointer.take_texts(),
            (Texts{"ABS_X 1", "ABS_X 0", "ABS_Y 1", "ABS_Y 0", "SYN_REPORT", "ABS_X 1919", "ABS_Y 1079", "SYN_REPORT",
                   "ABS_X 1918", "ABS_X 1919", "ABS_Y 7", "SYN_REPORT"} +
             tapped("BTN_SIDE") + down("BTN_EXTRA") + tapped("BTN_LEFT") + up("BTN_EXTRA") +
             Texts{"REL_WHEEL -3", "REL_WHEEL_HI_RES -360", "REL_HWHEEL 2", "REL_HWHEEL_HI_RES 240", "SYN_REPORT",
                   "REL_WHEEL 1", "REL_WHEEL_HI_RES 120", "SYN_REPORT"}));

  const SystemKey left{0xff51, 0x25, 0x4B, true, KEY_LEFT};
  const SystemKey power{0x1008ff2a, 0, 0, false, KEY_POWER};  // not among the keyboard's keys
  expect_ok(system->key(left, true), "Left down");
  expect_ok(system->key(left, false), "Left up");
  EXPECT_EQ(system->key(power, true).error(), "the uinput keyboard has no key with code 116");
  expect_ok(system->write("Hi!\n", ondrel::kDefaultTypingPace), "write(Hi!\\n)");
  EXPECT_EQ(system->write("Hi ü", ondrel::kDefaultTypingPace).error(),
            "U+00FC 'ü' cannot be typed through uinput, which types what a US layout types");
  EXPECT_EQ(system->write("a\rb", ondrel::kDefaultTypingPace).error(), "U+000D cannot be typed through uinput, which types what a US layout types");
  EXPECT_EQ(keyboard.take_texts(),
            tapped("KEY_LEFT") + shifted("KEY_H") + tapped("KEY_I") + shifted("KEY_1") + tapped("KEY_ENTER"));
  EXPECT_TRUE(pointer.take_events().empty());
}

}  // namespace
}  // namespace ondrel
