#include "platform/windows/computer_records.h"

#include <array>

namespace ondrel::windows {
namespace {

// The modifiers of a shift state, in the order they go down.
struct ShiftKey {
  std::uint8_t bit;
  SystemKey key;
};
constexpr std::array<ShiftKey, 3> kShiftKeys = {{
    {1, {0xFFE1, 0xA0, 0x2A, false, 42}},  // Shift_L    VK_LSHIFT
    {2, {0xFFE3, 0xA2, 0x1D, false, 29}},  // Control_L  VK_LCONTROL
    {4, {0xFFE9, 0xA4, 0x38, false, 56}},  // Alt_L      VK_LMENU
}};

constexpr SystemKey kReturn = {0xFF0D, 0x0D, 0x1C, false, 28};

}  // namespace

std::vector<Input> character_downs(RecordTarget& target, char32_t character) {
  std::vector<Input> downs;
  // "\n" is Enter: a layout gives it as Control+Enter (a line feed), which applications take as a shortcut.
  if (character == U'\n') return {key_record(kReturn, true)};
  if (const auto stroke = target.layout_stroke(character)) {
    for (const ShiftKey& shift : kShiftKeys)
      if ((stroke->shift_state & shift.bit) != 0) downs.push_back(key_record(shift.key, true));
    downs.push_back(keyboard_input(stroke->virtual_key, 0));
    downs.back().ki.wScan = stroke->scan_code;
    return downs;
  }
  if (character > 0xFFFF) {
    const char32_t offset = character - 0x10000;
    downs.push_back(unicode_record(static_cast<char16_t>(0xD800 + (offset >> 10)), true));
    downs.push_back(unicode_record(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)), true));
  } else {
    downs.push_back(unicode_record(static_cast<char16_t>(character), true));
  }
  return downs;
}

Input up_of(Input down) {
  down.ki.dwFlags |= key_flag::key_up;
  return down;
}

}  // namespace ondrel::windows
