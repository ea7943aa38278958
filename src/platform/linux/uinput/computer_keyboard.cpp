#include "platform/linux/uinput/computer_keyboard.h"

#include <linux/input.h>

#include <algorithm>
#include <array>

#include "devices/typed_characters.h"
#include "platform/key_codes.h"
#include "platform/utf8_text.h"

namespace ondrel::linux::uinput {
namespace {

struct CodeRange {
  std::uint16_t first;
  std::uint16_t last;
};

// The evdev codes of the computer layer's key table, as the runs they form
// (KEY_LINEFEED, 101, comes with its run). A test holds the table to them.
constexpr auto kKeyRanges = std::to_array<CodeRange>({
    {KEY_ESC, KEY_KPDOT},       // the main block, F1 to F10, the keypad
    {KEY_102ND, KEY_F12},       // the ISO key, F11, F12
    {KEY_KPENTER, KEY_DELETE},  // keypad Enter, right Ctrl, the navigation keys
    {KEY_PAUSE, KEY_PAUSE},
    {KEY_LEFTMETA, KEY_COMPOSE},
    {KEY_F13, KEY_F24},
    {KEY_MUTE, KEY_VOLUMEUP},      // the media keys
    {KEY_NEXTSONG, KEY_STOPCD},
});

}  // namespace

Capabilities computer_keyboard_capabilities() {
  Capabilities capabilities;
  for (const CodeRange& range : kKeyRanges)
    for (unsigned code = range.first; code <= range.last; ++code) capabilities.keys.push_back(static_cast<std::uint16_t>(code));
  return capabilities;
}

bool computer_keyboard_has(std::uint16_t code) {
  return std::any_of(kKeyRanges.begin(), kKeyRanges.end(),
                     [code](const CodeRange& range) { return range.first <= code && code <= range.last; });
}

Expected<std::vector<TypedStroke>> us_layout_strokes(std::string_view text) {
  const Expected<std::u32string> characters = decode_utf8(text);
  if (!characters.ok()) return characters.outcome();
  std::vector<TypedStroke> strokes;
  strokes.reserve(characters.value().size());
  for (const char32_t character : characters.value()) {
    const std::optional<TypedKey> typed = typed_key(character);
    const KeyCodes* codes = typed ? key_codes_for_usage(typed->usage) : nullptr;
    if (codes == nullptr)
      return Outcome::failure(character_name(character) +
                              " cannot be typed through uinput, which types what a US layout types");
    strokes.push_back({codes->linux_key, typed->shifted});
  }
  return strokes;
}

}  // namespace ondrel::linux::uinput
