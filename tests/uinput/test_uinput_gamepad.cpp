#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "agent/agent_controller.h"
#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "platform/platform_backends.h"
#include "support/evdev_reader.h"

namespace ondrel {
namespace {

using testing::EvdevReader;
using Texts = std::vector<std::string>;

std::uint16_t button(const char* name) { return parse_button(name).value_or(0); }

// Written out here rather than taken from the code table, so that a wrong
// row there fails: the kernel's gamepad interface names face buttons by
// position, so X is west and Y north.
struct ButtonCode {
  const char* name;
  const char* code;
};
constexpr ButtonCode kButtonCodes[] = {
    {"a", "BTN_SOUTH"},   {"b", "BTN_EAST"},         {"x", "BTN_WEST"},         {"y", "BTN_NORTH"},
    {"lb", "BTN_TL"},     {"rb", "BTN_TR"},          {"back", "BTN_SELECT"},    {"start", "BTN_START"},
    {"guide", "BTN_MODE"}, {"ls", "BTN_THUMBL"},     {"rs", "BTN_THUMBR"},      {"dpad_up", "BTN_DPAD_UP"},
    {"dpad_down", "BTN_DPAD_DOWN"}, {"dpad_left", "BTN_DPAD_LEFT"}, {"dpad_right", "BTN_DPAD_RIGHT"},
};

TEST(UinputGamepad, EachButtonIsItsGamepadCode) {
  GamepadDevice pad(platform_gamepad_factory(), "guest pad buttons");
  ASSERT_TRUE(pad.create().ok());
  EvdevReader reader(pad.name());
  ASSERT_TRUE(reader.open());
  for (const ButtonCode& row : kButtonCodes) {
    ASSERT_TRUE(pad.press(button(row.name)).ok()) << row.name;
    ASSERT_TRUE(pad.release(button(row.name)).ok()) << row.name;
    const std::string code = row.code;
    EXPECT_EQ(reader.take_texts(), (Texts{code + " 1", "SYN_REPORT", code + " 0", "SYN_REPORT"})) << row.name;
  }
}

struct GamepadCase {
  const char* what;
  std::function<HidResult(GamepadDevice&)> operation;
  Texts expected;
};

// The kernel passes on only what differs from the device's state, which
// starts neutral, so an axis the report did not move is not seen.
TEST(UinputGamepad, OperationsAreReadBackExactly) {
  const GamepadCase cases[] = {
      {"tap(A)", [](GamepadDevice& p) { return p.tap(button("a")); },
       {"BTN_SOUTH 1", "SYN_REPORT", "BTN_SOUTH 0", "SYN_REPORT"}},
      {"both sticks",
       [](GamepadDevice& p) {
         ONDREL_TRY(p.left_stick(0, 255));
         ONDREL_TRY(p.right_stick(255, 0));
         return p.left_stick(128, 128);
       },
       {"ABS_X 0", "ABS_Y 255", "SYN_REPORT", "ABS_RX 255", "ABS_RY 0", "SYN_REPORT", "ABS_X 128", "ABS_Y 128",
        "SYN_REPORT"}},
      // The class's triggers(10, 20): the left trigger's report, then the right's.
      {"triggers(10, 20)",
       [](GamepadDevice& p) {
         ONDREL_TRY(p.left_trigger(10));
         return p.right_trigger(20);
       },
       {"ABS_Z 10", "SYN_REPORT", "ABS_RZ 20", "SYN_REPORT"}},
      {"the D-pad's diagonal",
       [](GamepadDevice& p) {
         ONDREL_TRY(p.press(button("up")));
         ONDREL_TRY(p.press(button("dpad_left")));
         return p.release(button("up") | button("dpad_left"));
       },
       {"BTN_DPAD_UP 1", "SYN_REPORT", "BTN_DPAD_LEFT 1", "SYN_REPORT", "BTN_DPAD_UP 0", "BTN_DPAD_LEFT 0",
        "SYN_REPORT"}},
      {"reset",
       [](GamepadDevice& p) {
         ONDREL_TRY(p.press(button("start")));
         ONDREL_TRY(p.right_stick(3, 250));
         ONDREL_TRY(p.left_trigger(200));
         return p.reset();
       },
       {"BTN_START 1", "SYN_REPORT", "ABS_RX 3", "ABS_RY 250", "SYN_REPORT", "ABS_Z 200", "SYN_REPORT",
        "BTN_START 0", "ABS_RX 128", "ABS_RY 128", "ABS_Z 0", "SYN_REPORT"}},
  };
  for (const GamepadCase& c : cases) {
    GamepadDevice pad(platform_gamepad_factory(), std::string("guest pad ") + c.what);
    ASSERT_TRUE(pad.create().ok()) << c.what;
    EvdevReader reader(pad.name());
    ASSERT_TRUE(reader.open()) << c.what;
    const HidResult result = c.operation(pad);
    ASSERT_TRUE(result.ok()) << c.what << ": " << result.error().display();
    EXPECT_EQ(reader.take_texts(), c.expected) << c.what;
  }
}

std::int64_t microseconds(const input_event& event) {
  return static_cast<std::int64_t>(event.input_event_sec) * 1'000'000 + event.input_event_usec;
}

TEST(UinputGamepad, ATapHoldsTheButtonAtLeast50Ms) {
  GamepadDevice pad(platform_gamepad_factory(), "guest pad tap");
  ASSERT_TRUE(pad.create().ok());
  EvdevReader reader(pad.name());
  ASSERT_TRUE(reader.open());
  ASSERT_TRUE(pad.tap(button("a")).ok());
  const std::vector<input_event> events = reader.take_events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_GE(microseconds(events[2]) - microseconds(events[0]), 50'000);
}

// The actions reach the same gamepad as the class: created by the first
// gamepad action, removed with the controller.
TEST(UinputGamepad, AgentActionsDriveAGamepadOfTheirOwn) {
  std::string node;
  {
    AgentController agent({platform_mouse_factory(), platform_keyboard_factory(), platform_gamepad_factory()});
    ASSERT_TRUE(agent.run_json(R"({"action": "gamepad_left_stick", "x": 128, "y": 128})").success);
    EvdevReader reader("ondrel Virtual Gamepad");
    ASSERT_TRUE(reader.open());
    node = reader.node();
    ASSERT_TRUE(agent.run_json(R"(["gamepad_press", "a"])").success);
    ASSERT_TRUE(agent.run_json(R"({"action": "gamepad_triggers", "left": 255, "right": 1})").success);
    EXPECT_EQ(reader.take_texts(),
              (Texts{"BTN_SOUTH 1", "SYN_REPORT", "ABS_Z 255", "SYN_REPORT", "ABS_RZ 1", "SYN_REPORT"}));
  }
  EXPECT_EQ(EvdevReader::node_named("ondrel Virtual Gamepad"), std::nullopt);
}

}  // namespace
}  // namespace ondrel
