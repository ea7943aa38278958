#pragma once

#include <string_view>

#include "agent/action_result.h"
#include "agent/agent_action.h"
#include "devices/gamepad.h"
#include "devices/keyboard.h"
#include "devices/mouse.h"

namespace ondrel {

// Where each of the controller's devices gets its back end from.
struct DeviceFactories {
  BackendFactory mouse;
  BackendFactory keyboard;
  BackendFactory gamepad;
};

// Runs agent actions on a private mouse, keyboard and gamepad, creating
// each device on the first action that needs it. On release it destroys the
// devices it created, in the order mouse, keyboard, gamepad.
class AgentController {
 public:
  explicit AgentController(DeviceFactories factories);
  AgentController(AgentController&& other) noexcept;
  AgentController& operator=(AgentController&&) = delete;
  AgentController(const AgentController&) = delete;
  AgentController& operator=(const AgentController&) = delete;
  ~AgentController();

  // Decodes one action text and runs it.
  ActionResult run_json(std::string_view text);
  ActionResult run_action(AgentAction action);

  [[nodiscard]] const MouseDevice& mouse() const { return mouse_; }
  [[nodiscard]] const KeyboardDevice& keyboard() const { return keyboard_; }
  [[nodiscard]] const GamepadDevice& gamepad() const { return gamepad_; }

 private:
  template <class Device>
  HidResult ensure_created(Device& device, bool& created);
  // Creates `device` if need be, then runs `operation(device)`.
  template <class Device, class Operation>
  ActionResult on(Device& device, bool& created, Operation&& operation);

  ActionResult run(const MouseMove& action);
  ActionResult run(const MouseClick& action);
  ActionResult run(const MouseDoubleClick& action);
  ActionResult run(const MouseDown& action);
  ActionResult run(const MouseUp& action);
  ActionResult run(const MouseScroll& action);
  ActionResult run(const Type& action);
  ActionResult run(const KeyPress& action);
  ActionResult run(const KeyDown& action);
  ActionResult run(const KeyUp& action);
  ActionResult run(const KeyCombo& action);
  ActionResult run(const GamepadPress& action);
  ActionResult run(const GamepadRelease& action);
  ActionResult run(const GamepadLeftStick& action);
  ActionResult run(const GamepadRightStick& action);
  ActionResult run(const GamepadTriggers& action);

  MouseDevice mouse_;
  KeyboardDevice keyboard_;
  GamepadDevice gamepad_;
  bool mouse_created_ = false;
  bool keyboard_created_ = false;
  bool gamepad_created_ = false;
};

}  // namespace ondrel
