#include "platform/linux/x11/text_plan.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/utf8_text.h"

namespace ondrel::linux::x11 {
namespace {

bool is_control(char32_t character) { return character < 0x20 || (character >= 0x7f && character <= 0x9f); }

// "U+00E9 'é'"; a control character by its code point alone.
std::string character_name(char32_t character) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
  std::string name = code;
  if (is_control(character)) return name;
  // Re-encoded from a decoded character, so always valid UTF-8.
  name += " '";
  if (character < 0x80) {
    name += static_cast<char>(character);
  } else {
    const int continuation = character < 0x800 ? 1 : character < 0x10000 ? 2 : 3;
    constexpr unsigned char kLeadMarks[] = {0, 0xc0, 0xe0, 0xf0};
    name += static_cast<char>(kLeadMarks[continuation] | (character >> (6 * continuation)));
    for (int shift = 6 * (continuation - 1); shift >= 0; shift -= 6)
      name += static_cast<char>(0x80 | ((character >> shift) & 0x3f));
  }
  return name + "'";
}

// Assigns spare keycodes, one per missing character, in the order the text
// first needs them.
class SpareKeys {
 public:
  explicit SpareKeys(const std::vector<Keycode>& spare) : spare_(spare) {}

  std::optional<Keystroke> bind(char32_t character, std::vector<SpareBinding>& bindings) {
    const Keysym keysym = keysym_for_character(character);
    const auto bound = std::ranges::find(bindings, keysym, &SpareBinding::keysym);
    if (bound != bindings.end()) return Keystroke{bound->keycode};
    if (bindings.size() == spare_.size()) return std::nullopt;
    bindings.push_back({spare_[bindings.size()], keysym});
    return Keystroke{bindings.back().keycode};
  }

 private:
  const std::vector<Keycode>& spare_;
};

}  // namespace

TextPlanResult plan_text(std::string_view text, const Keymap& keymap) {
  const Expected<std::u32string> characters = decode_utf8(text);
  if (!characters.ok()) return TextPlanResult::failure(characters.error());
  const KeyLocator locator(keymap);
  SpareKeys spare(locator.spare_keycodes());
  TextPlan plan;
  plan.keystrokes.reserve(characters.value().size());
  for (const char32_t character : characters.value()) {
    if (is_control(character) && character != U'\n' && character != U'\t')
      return TextPlanResult::failure("the control character " + character_name(character) + " cannot be typed");
    std::optional<Keystroke> keystroke = locator.find(character);
    if (!keystroke) keystroke = spare.bind(character, plan.bindings);
    if (!keystroke)
      return TextPlanResult::failure(character_name(character) + " is not on the keyboard layout, and all " +
                                     std::to_string(locator.spare_keycodes().size()) + " spare keycodes are taken");
    plan.keystrokes.push_back(*keystroke);
  }
  return TextPlanResult::success(std::move(plan));
}

}  // namespace ondrel::linux::x11
