#include "platform/input_changes.h"

#include <array>

#include "platform/key_codes.h"

namespace ondrel {
namespace {

struct ButtonFlag {
  std::uint32_t flag;
  ButtonChange change;
};

// In the order of the flags' bits, which is the order Windows plays them in.
constexpr auto kButtonFlags = std::to_array<ButtonFlag>({
    {win32::mouse_flag::left_down, {PointerButton::left, true}},
    {win32::mouse_flag::left_up, {PointerButton::left, false}},
    {win32::mouse_flag::right_down, {PointerButton::right, true}},
    {win32::mouse_flag::right_up, {PointerButton::right, false}},
    {win32::mouse_flag::middle_down, {PointerButton::middle, true}},
    {win32::mouse_flag::middle_up, {PointerButton::middle, false}},
});

constexpr std::uint32_t kMouseFlagsPlayed = [] {
  std::uint32_t flags = win32::mouse_flag::move | win32::mouse_flag::wheel;
  for (const ButtonFlag& button : kButtonFlags) flags |= button.flag;
  return flags;
}();

// The extended flag changes nothing off Windows: a Linux code names the
// physical key already.
constexpr std::uint32_t kKeyFlagsPlayed = win32::key_flag::key_up | win32::key_flag::extended_key;

// Each takes the whole record: on Windows its parts have user32's own types.
std::optional<InputChanges> pointer_changes(const win32::Input& input) {
  const auto& mouse = input.mi;
  if ((mouse.dwFlags & ~kMouseFlagsPlayed) != 0) return std::nullopt;
  PointerChanges changes;
  if ((mouse.dwFlags & win32::mouse_flag::move) != 0) {
    changes.dx = mouse.dx;
    changes.dy = mouse.dy;
  }
  for (const ButtonFlag& button : kButtonFlags)
    if ((mouse.dwFlags & button.flag) != 0) changes.buttons.push_back(button.change);
  if ((mouse.dwFlags & win32::mouse_flag::wheel) != 0) changes.wheel = static_cast<std::int32_t>(mouse.mouseData);
  return changes;
}

std::optional<InputChanges> key_change(const win32::Input& input) {
  const auto& key = input.ki;
  if ((key.dwFlags & ~kKeyFlagsPlayed) != 0) return std::nullopt;
  const std::optional<std::uint16_t> code = linux_key_for_virtual_key(key.wVk);
  if (!code) return std::nullopt;
  return KeyChange{*code, (key.dwFlags & win32::key_flag::key_up) == 0};
}

}  // namespace

std::optional<InputChanges> decode_record(const win32::Input& input) {
  if (input.type == win32::kInputMouse) return pointer_changes(input);
  if (input.type == win32::kInputKeyboard) return key_change(input);
  return std::nullopt;
}

}  // namespace ondrel
