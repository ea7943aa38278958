#include "agent/agent_controller.h"

#include <utility>

#include "agent/action_decoder.h"
#include "devices/gamepad_buttons.h"
#include "devices/key_names.h"
#include "devices/modifier_names.h"

namespace ondrel {

AgentController::AgentController(DeviceFactories factories)
    : mouse_(std::move(factories.mouse)),
      keyboard_(std::move(factories.keyboard)),
      gamepad_(std::move(factories.gamepad)) {}

AgentController::AgentController(AgentController&& other) noexcept
    : mouse_(std::move(other.mouse_)),
      keyboard_(std::move(other.keyboard_)),
      gamepad_(std::move(other.gamepad_)),
      mouse_created_(std::exchange(other.mouse_created_, false)),
      keyboard_created_(std::exchange(other.keyboard_created_, false)),
      gamepad_created_(std::exchange(other.gamepad_created_, false)) {}

AgentController::~AgentController() {
  // The results have nowhere to go; nothing is sent, held input stays held.
  if (mouse_created_) (void)mouse_.destroy();
  if (keyboard_created_) (void)keyboard_.destroy();
  if (gamepad_created_) (void)gamepad_.destroy();
}

template <class Device>
HidResult AgentController::ensure_created(Device& device, bool& created) {
  if (created) return HidResult::success();
  ONDREL_TRY(device.create());
  created = true;
  return HidResult::success();
}

// Names are interpreted before anything is sent: an unknown one sends nothing.
template <class Operation>
ActionResult AgentController::with_key(const std::string& name, Operation operation) {
  std::uint8_t usage = 0;
  if (HidResult parsed = parse_key(name, usage); !parsed) return ActionResult::from(parsed);
  return ActionResult::from(operation(usage));
}

template <class Operation>
ActionResult AgentController::with_gamepad_button(const std::string& name, Operation operation) {
  std::uint16_t mask = 0;
  if (HidResult parsed = parse_gamepad_button(name, mask); !parsed) return ActionResult::from(parsed);
  return ActionResult::from(operation(mask));
}

ActionResult AgentController::run_json(std::string_view text) {
  DecodeResult decoded = decode_action(text);
  if (!decoded.ok()) return ActionResult::failed("Invalid JSON: " + decoded.message());
  return run_action(decoded.take_action());
}

ActionResult AgentController::run_action(AgentAction action) {
  return std::visit([this](const auto& variant) { return run(variant); }, action);
}

// Every action: its device first, then its names, then the operations.

#define ONDREL_ENSURE(device)                                                      \
  do {                                                                             \
    if (HidResult created = ensure_created(device##_, device##_created_); !created) \
      return ActionResult::from(created);                                          \
  } while (false)

ActionResult AgentController::run(const MouseMove& action) {
  ONDREL_ENSURE(mouse);
  return ActionResult::from(mouse_.move_by(action.x, action.y));
}

ActionResult AgentController::run(const MouseClick& action) {
  ONDREL_ENSURE(mouse);
  return ActionResult::from(mouse_.click(mouse_button_from_action(action.button)));
}

ActionResult AgentController::run(const MouseDoubleClick& action) {
  ONDREL_ENSURE(mouse);
  return ActionResult::from(mouse_.double_click(mouse_button_from_action(action.button)));
}

ActionResult AgentController::run(const MouseDown& action) {
  ONDREL_ENSURE(mouse);
  return ActionResult::from(mouse_.press(mouse_button_from_action(action.button)));
}

ActionResult AgentController::run(const MouseUp& action) {
  ONDREL_ENSURE(mouse);
  return ActionResult::from(mouse_.release(mouse_button_from_action(action.button)));
}

ActionResult AgentController::run(const MouseScroll& action) {
  ONDREL_ENSURE(mouse);
  return ActionResult::from(mouse_.scroll(action.delta));
}

ActionResult AgentController::run(const Type& action) {
  ONDREL_ENSURE(keyboard);
  return ActionResult::from(keyboard_.type_text(action.text));
}

ActionResult AgentController::run(const KeyPress& action) {
  ONDREL_ENSURE(keyboard);
  return with_key(action.key, [this](std::uint8_t usage) { return keyboard_.press(usage); });
}

ActionResult AgentController::run(const KeyDown& action) {
  ONDREL_ENSURE(keyboard);
  return with_key(action.key, [this](std::uint8_t usage) { return keyboard_.key_down(usage); });
}

ActionResult AgentController::run(const KeyUp& action) {
  ONDREL_ENSURE(keyboard);
  return with_key(action.key, [this](std::uint8_t usage) { return keyboard_.key_up(usage); });
}

ActionResult AgentController::run(const KeyCombo& action) {
  ONDREL_ENSURE(keyboard);
  const std::uint8_t bits = modifier_bits(action.modifiers);
  return with_key(action.key, [this, bits](std::uint8_t usage) { return keyboard_.combo(bits, usage); });
}

ActionResult AgentController::run(const GamepadPress& action) {
  ONDREL_ENSURE(gamepad);
  return with_gamepad_button(action.button, [this](std::uint16_t mask) { return gamepad_.press(mask); });
}

ActionResult AgentController::run(const GamepadRelease& action) {
  ONDREL_ENSURE(gamepad);
  return with_gamepad_button(action.button, [this](std::uint16_t mask) { return gamepad_.release(mask); });
}

ActionResult AgentController::run(const GamepadLeftStick& action) {
  ONDREL_ENSURE(gamepad);
  return ActionResult::from(gamepad_.left_stick(action.x, action.y));
}

ActionResult AgentController::run(const GamepadRightStick& action) {
  ONDREL_ENSURE(gamepad);
  return ActionResult::from(gamepad_.right_stick(action.x, action.y));
}

ActionResult AgentController::run(const GamepadTriggers& action) {
  ONDREL_ENSURE(gamepad);
  if (HidResult left = gamepad_.left_trigger(action.left); !left) return ActionResult::from(left);
  return ActionResult::from(gamepad_.right_trigger(action.right));
}

#undef ONDREL_ENSURE

}  // namespace ondrel
