#include "platform/linux/record_events.h"

#include <array>

#include "platform/key_codes.h"
#include "platform/linux/event_writer.h"

namespace ondrel::uinput {
namespace {

struct ButtonFlag {
  std::uint32_t flag;
  std::uint16_t code;
  std::int32_t value;
};

constexpr auto kButtonFlags = std::to_array<ButtonFlag>({
    {win32::mouse_flag::left_down, BTN_LEFT, 1},
    {win32::mouse_flag::left_up, BTN_LEFT, 0},
    {win32::mouse_flag::right_down, BTN_RIGHT, 1},
    {win32::mouse_flag::right_up, BTN_RIGHT, 0},
    {win32::mouse_flag::middle_down, BTN_MIDDLE, 1},
    {win32::mouse_flag::middle_up, BTN_MIDDLE, 0},
});

constexpr std::uint32_t kMouseFlagsPlayed = [] {
  std::uint32_t flags = win32::mouse_flag::move | win32::mouse_flag::wheel;
  for (const ButtonFlag& button : kButtonFlags) flags |= button.flag;
  return flags;
}();

constexpr std::uint32_t kKeyFlagsPlayed = win32::key_flag::key_up | win32::key_flag::extended_key;

bool mouse_events(const win32::MouseInput& mouse, std::vector<input_event>& out) {
  if ((mouse.dwFlags & ~kMouseFlagsPlayed) != 0) return false;
  if ((mouse.dwFlags & win32::mouse_flag::move) != 0) {
    if (mouse.dx != 0) out.push_back(evdev_event(EV_REL, REL_X, mouse.dx));
    if (mouse.dy != 0) out.push_back(evdev_event(EV_REL, REL_Y, mouse.dy));
  }
  for (const ButtonFlag& button : kButtonFlags)
    if ((mouse.dwFlags & button.flag) != 0) out.push_back(evdev_event(EV_KEY, button.code, button.value));
  if ((mouse.dwFlags & win32::mouse_flag::wheel) != 0) {
    const auto delta = static_cast<std::int32_t>(mouse.mouseData);
    if (delta / win32::kWheelDelta != 0) out.push_back(evdev_event(EV_REL, REL_WHEEL, delta / win32::kWheelDelta));
    out.push_back(evdev_event(EV_REL, REL_WHEEL_HI_RES, delta));
  }
  return true;
}

bool key_events(const win32::KeyboardInput& key, std::vector<input_event>& out) {
  if ((key.dwFlags & ~kKeyFlagsPlayed) != 0) return false;
  const auto code = linux_key_for_virtual_key(key.wVk);
  if (!code) return false;
  out.push_back(evdev_event(EV_KEY, *code, (key.dwFlags & win32::key_flag::key_up) != 0 ? 0 : 1));
  return true;
}

}  // namespace

bool events_for_record(const win32::Input& input, InputDeviceKind kind, std::vector<input_event>& events) {
  std::vector<input_event> played;
  bool playable = false;
  if (kind == InputDeviceKind::mouse && input.type == win32::kInputMouse) playable = mouse_events(input.mi, played);
  if (kind == InputDeviceKind::keyboard && input.type == win32::kInputKeyboard)
    playable = key_events(input.ki, played);
  if (!playable) return false;
  played.push_back(evdev_event(EV_SYN, SYN_REPORT, 0));
  events = std::move(played);
  return true;
}

}  // namespace ondrel::uinput
