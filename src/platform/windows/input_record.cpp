#include "platform/windows/input_record.h"

#include <cstring>

#include "platform/key_codes.h"
#include "platform/pointer_buttons.h"

namespace ondrel::windows {

// time and dwExtraInfo stay 0 so that the system stamps the time itself.
Input mouse_input(std::int32_t dx, std::int32_t dy, std::int32_t mouse_data, std::uint32_t flags) {
  Input input;
  std::memset(&input, 0, sizeof input);
  input.type = kInputMouse;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.mouseData = static_cast<std::uint32_t>(mouse_data);
  input.mi.dwFlags = flags;
  return input;
}

Input keyboard_input(std::uint16_t virtual_key, std::uint32_t flags) {
  Input input;
  std::memset(&input, 0, sizeof input);
  input.type = kInputKeyboard;
  input.ki.wVk = virtual_key;
  input.ki.dwFlags = flags;
  return input;
}

std::optional<Input> record_for(const InputChange& change) {
  if (const auto* motion = std::get_if<PointerMotion>(&change))
    return mouse_input(motion->dx, motion->dy, 0, mouse_flag::move);
  if (const auto* button = std::get_if<ButtonChange>(&change)) {
    const PointerButtonCodes& codes = codes_of(button->button);
    return mouse_input(0, 0, codes.mouse_data, button->down ? codes.down_flag : codes.up_flag);
  }
  if (const auto* turn = std::get_if<WheelTurn>(&change))
    return mouse_input(0, 0, turn->notches * kWheelDelta, mouse_flag::wheel);
  const auto& key = std::get<KeyChange>(change);
  const std::optional<KeyCodes> codes = codes_of_key(key.usage);
  if (!codes) return std::nullopt;
  const std::uint32_t extended = codes->extended ? key_flag::extended_key : 0;
  return keyboard_input(codes->virtual_key, extended | (key.down ? 0 : key_flag::key_up));
}

}  // namespace ondrel::windows
