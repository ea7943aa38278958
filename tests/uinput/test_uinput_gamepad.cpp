#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "agent/agent_controller.h"
#include "devices/gamepad.h"
#include "devices/gamepad_buttons.h"
#include "platform/platform_backends.h"
#include "support/evdev_reader.h"

namespace ondrel {
namespace {

using testing::EvdevReader;
using testing::microseconds_between;
using Texts = std::vector<std::string>;

std::uint16_t button(const char* name) { return parse_button(name).value_or(0); }

// What games read X and Y from (SDL's test sees every control's meaning);
// written out here so that a wrong row in the code table fails.
TEST(UinputGamepad, XIsBtnXAndYIsBtnY) {
  GamepadDevice pad(platform_gamepad_factory(), "guest pad x and y");
  ASSERT_TRUE(pad.create().ok());
  EvdevReader reader(pad.name());
  ASSERT_TRUE(reader.open());
  ASSERT_TRUE(pad.tap(button("x")).ok());
  ASSERT_TRUE(pad.tap(button("y")).ok());
  std::vector<std::pair<int, int>> codes_and_values;
  for (const input_event& event : reader.take_events())
    if (event.type == EV_KEY) codes_and_values.emplace_back(event.code, event.value);
  EXPECT_EQ(codes_and_values, (std::vector<std::pair<int, int>>{{0x133, 1}, {0x133, 0}, {0x134, 1}, {0x134, 0}}));
}

TEST(UinputGamepad, ATapHoldsTheButtonAtLeast50Ms) {
  GamepadDevice pad(platform_gamepad_factory(), "guest pad tap");
  ASSERT_TRUE(pad.create().ok());
  EvdevReader reader(pad.name());
  ASSERT_TRUE(reader.open());
  ASSERT_TRUE(pad.tap(button("a")).ok());
  const std::vector<input_event> events = reader.take_events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_GE(microseconds_between(events[0], events[2]), 50'000);
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
