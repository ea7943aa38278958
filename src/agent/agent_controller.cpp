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

ActionResult AgentController::run_json(std::string_view text) {
  DecodeResult decoded = decode_action(text);
  if (!decoded.ok()) return ActionResult::failed("Invalid JSON: " + decoded.message());
  return run_action(decoded.take_action());
}

ActionResult AgentController::run_action(AgentAction action) {
  return std::visit([this](const auto& variant) { return run(variant); }, action);
}

// Every action: its device first, then its names, then the operations.
template <class Device, class Operation>
ActionResult AgentController::on(Device& device, bool& created, Operation&& operation) {
  if (HidResult made = ensure_created(device, created); !made) return ActionResult::from(made);
  return ActionResult::from(operation(device));
}

ActionResult AgentController::run(const MouseMove& action) {
  return on(mouse_, mouse_created_, [&](MouseDevice& mouse) { return mouse.move_by(action.x, action.y); });
}

ActionResult AgentController::run(const MouseClick& action) {
  return on(mouse_, mouse_created_,
            [&](MouseDevice& mouse) { return mouse.click(mouse_button_from_action(action.button)); });
}

ActionResult AgentController::run(const MouseDoubleClick& action) {
  return on(mouse_, mouse_created_,
            [&](MouseDevice& mouse) { return mouse.double_click(mouse_button_from_action(action.button)); });
}

ActionResult AgentController::run(const MouseDown& action) {
  return on(mouse_, mouse_created_,
            [&](MouseDevice& mouse) { return mouse.press(mouse_button_from_action(action.button)); });
}

ActionResult AgentController::run(const MouseUp& action) {
  return on(mouse_, mouse_created_,
            [&](MouseDevice& mouse) { return mouse.release(mouse_button_from_action(action.button)); });
}

ActionResult AgentController::run(const MouseScroll& action) {
  return on(mouse_, mouse_created_, [&](MouseDevice& mouse) { return mouse.scroll(action.delta); });
}

ActionResult AgentController::run(const Type& action) {
  return on(keyboard_, keyboard_created_, [&](KeyboardDevice& keyboard) { return keyboard.type_text(action.text); });
}

ActionResult AgentController::run(const KeyPress& action) {
  return on(keyboard_, keyboard_created_, [&](KeyboardDevice& keyboard) {
    return with_key_usage(action.key, [&](std::uint8_t usage) { return keyboard.press(usage); });
  });
}

ActionResult AgentController::run(const KeyDown& action) {
  return on(keyboard_, keyboard_created_, [&](KeyboardDevice& keyboard) {
    return with_key_usage(action.key, [&](std::uint8_t usage) { return keyboard.key_down(usage); });
  });
}

ActionResult AgentController::run(const KeyUp& action) {
  return on(keyboard_, keyboard_created_, [&](KeyboardDevice& keyboard) {
    return with_key_usage(action.key, [&](std::uint8_t usage) { return keyboard.key_up(usage); });
  });
}

// Modifier names first (unknown ones are dropped), then the key.
ActionResult AgentController::run(const KeyCombo& action) {
  return on(keyboard_, keyboard_created_, [&](KeyboardDevice& keyboard) {
    const std::uint8_t bits = modifier_bits(action.modifiers);
    return with_key_usage(action.key, [&](std::uint8_t usage) { return keyboard.combo(bits, usage); });
  });
}

ActionResult AgentController::run(const GamepadPress& action) {
  return on(gamepad_, gamepad_created_, [&](GamepadDevice& gamepad) {
    return with_gamepad_button(action.button, [&](std::uint16_t mask) { return gamepad.press(mask); });
  });
}

ActionResult AgentController::run(const GamepadRelease& action) {
  return on(gamepad_, gamepad_created_, [&](GamepadDevice& gamepad) {
    return with_gamepad_button(action.button, [&](std::uint16_t mask) { return gamepad.release(mask); });
  });
}

ActionResult AgentController::run(const GamepadLeftStick& action) {
  return on(gamepad_, gamepad_created_,
            [&](GamepadDevice& gamepad) { return gamepad.left_stick(action.x, action.y); });
}

ActionResult AgentController::run(const GamepadRightStick& action) {
  return on(gamepad_, gamepad_created_,
            [&](GamepadDevice& gamepad) { return gamepad.right_stick(action.x, action.y); });
}

// Two reports; the right trigger only after the left one went out.
ActionResult AgentController::run(const GamepadTriggers& action) {
  return on(gamepad_, gamepad_created_, [&](GamepadDevice& gamepad) {
    ONDREL_TRY(gamepad.left_trigger(action.left));
    return gamepad.right_trigger(action.right);
  });
}

}  // namespace ondrel
