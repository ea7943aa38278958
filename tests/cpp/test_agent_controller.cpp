#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent/agent_controller.h"
#include "support/recording_backend.h"

namespace ondrel {
namespace {

using testing::BackendLog;
using testing::recording_factory;
using testing::Bytes;

// A factory whose back ends note their destruction under `name`.
BackendFactory named_factory(const char* name, std::vector<std::string>& destroyed) {
  return testing::callback_factory({}, [name, &destroyed]() -> HidResult {
    destroyed.push_back(name);
    return HidError::send_failed("ignored");  // results are discarded
  });
}

TEST(AgentControllerRelease, DestroysExactlyTheCreatedDevicesInOrder) {
  struct Case {
    std::vector<const char*> actions;
    std::vector<std::string> destroyed;
  };
  const Case cases[] = {
      {{}, {}},
      {{R"(["type","x"])"}, {"keyboard"}},
      {{R"(["gamepad_press","a"])", R"(["type",""])", R"(["mouse_up",null])"}, {"mouse", "keyboard", "gamepad"}},
      {{R"(["mouse_move",1,2])", R"(["mouse_move",1,2])"}, {"mouse"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> destroyed;
    {
      AgentController agent({named_factory("mouse", destroyed), named_factory("keyboard", destroyed),
                             named_factory("gamepad", destroyed)});
      for (const char* action : c.actions) EXPECT_TRUE(agent.run_json(action).success) << action;
      AgentController moved(std::move(agent));  // the moved-from controller destroys nothing
    }
    EXPECT_EQ(destroyed, c.destroyed);
  }
}

class AgentControllerTest : public ::testing::Test {
 protected:
  std::shared_ptr<BackendLog> mouse_log = std::make_shared<BackendLog>();
  std::shared_ptr<BackendLog> keyboard_log = std::make_shared<BackendLog>();
  std::shared_ptr<BackendLog> gamepad_log = std::make_shared<BackendLog>();
  AgentController agent{{recording_factory(mouse_log), recording_factory(keyboard_log),
                         recording_factory(gamepad_log)}};
};

TEST_F(AgentControllerTest, FailedCreationIsRetriedByEveryAction) {
  gamepad_log->fail_create = true;
  for (int i = 0; i < 2; ++i) {
    const ActionResult result = agent.run_json(R"({"action":"gamepad_press","button":"nosuch"})");
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.error, "Failed to create device: refused by test");
  }
  gamepad_log->fail_create = false;
  const ActionResult unknown = agent.run_json(R"({"action":"gamepad_press","button":"nosuch"})");
  EXPECT_EQ(unknown.error, "Invalid action: Unknown gamepad button: nosuch");
  EXPECT_TRUE(agent.run_json(R"({"action":"gamepad_press","button":"LEFT"})").success);
  EXPECT_EQ(gamepad_log->backends_created, 1);
  EXPECT_EQ(gamepad_log->sent(), (std::vector<Bytes>{{0x00, 0x20, 0x80, 0x80, 0x80, 0x80, 0, 0}}));
}

TEST_F(AgentControllerTest, InvalidKeyCreatesKeyboardButSendsNothing) {
  const ActionResult result = agent.run_json(R"({"action":"key_combo","modifiers":["ctrl"],"key":"nosuchkey"})");
  EXPECT_EQ(result.error, "Invalid key: nosuchkey");
  EXPECT_TRUE(agent.keyboard().created());
  EXPECT_TRUE(keyboard_log->reports.empty());
  EXPECT_EQ(agent.keyboard().report().modifiers, 0);
}

TEST_F(AgentControllerTest, DecodingFailureTouchesNoDevice) {
  const ActionResult result = agent.run_json(R"({"action":"mouse_move","x":1})");
  EXPECT_EQ(result.error, "Invalid JSON: missing field `y`");
  EXPECT_FALSE(agent.mouse().created());
}

TEST_F(AgentControllerTest, TriggersStopAfterAFailedLeftTriggerAndTakeItBack) {
  gamepad_log->fail_on_send = 1;
  const ActionResult result = agent.run_json(R"(["gamepad_triggers",10,20])");
  EXPECT_EQ(result.error, "Failed to send report: SendInput failed");
  EXPECT_EQ(agent.gamepad().report().left_trigger, 0);
  EXPECT_EQ(agent.gamepad().report().right_trigger, 0);
  EXPECT_EQ(gamepad_log->sent().size(), 1u) << "the report without the failed change, once more";
  ASSERT_TRUE(agent.run_json(R"(["gamepad_triggers",10,20])").success);
  EXPECT_EQ(gamepad_log->sent().size(), 3u);
}

TEST(ActionResultJson, CompactFormsAndEscaping) {
  EXPECT_EQ(result_to_json(ActionResult::succeeded()), R"({"success":true,"error":null})");
  EXPECT_EQ(result_to_json(ActionResult::failed("say \"x\" \\ / \x7f \xC3\xA9")),
            "{\"success\":false,\"error\":\"say \\\"x\\\" \\\\ / \x7f \xC3\xA9\"}");
  EXPECT_EQ(result_to_json(ActionResult::failed(std::string("\b\t\n\f\r\x01\x1f\0", 8))),
            R"({"success":false,"error":"\b\t\n\f\r\u0001\u001f\u0000"})");
}

}  // namespace
}  // namespace ondrel
