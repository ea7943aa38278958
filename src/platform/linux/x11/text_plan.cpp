#include "platform/linux/x11/text_plan.h"

#include <algorithm>
#include <optional>

#include "platform/utf8_text.h"

namespace ondrel::linux::x11 {
namespace {

bool is_control(char32_t character) { return character < 0x20 || (character >= 0x7f && character <= 0x9f); }

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

Expected<TextPlan> plan_text(std::string_view text, const Keymap& keymap) {
  const Expected<std::u32string> characters = decode_utf8(text);
  if (!characters.ok()) return Outcome::failure(characters.error());
  const KeyLocator locator(keymap);
  SpareKeys spare(locator.spare_keycodes());
  TextPlan plan;
  plan.keystrokes.reserve(characters.value().size());
  for (const char32_t character : characters.value()) {
    if (is_control(character) && character != U'\n' && character != U'\t')
      return Outcome::failure("the control character " + character_name(character) + " cannot be typed");
    std::optional<Keystroke> keystroke = locator.find(character);
    if (!keystroke) keystroke = spare.bind(character, plan.bindings);
    if (!keystroke)
      return Outcome::failure(character_name(character) + " is not on the keyboard layout, and all " +
                                     std::to_string(locator.spare_keycodes().size()) + " spare keycodes are taken");
    plan.keystrokes.push_back(*keystroke);
  }
  return plan;
}

}  // namespace ondrel::linux::x11
