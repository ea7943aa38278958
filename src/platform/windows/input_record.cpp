#include "platform/windows/input_record.h"

#include <cstring>

namespace ondrel::win32 {

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

}  // namespace ondrel::win32
