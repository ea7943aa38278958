#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/x11/keymap.h"

namespace ondrel::linux::x11 {

// A keycode without keysyms, bound to `keysym` while a text is written.
struct SpareBinding {
  Keycode keycode;
  Keysym keysym;
  bool operator==(const SpareBinding&) const = default;
};

// How to write a text on the keymap in use: one keystroke per character, in
// order, after binding each spare keycode (a keystroke on one is plain).
struct TextPlan {
  std::vector<Keystroke> keystrokes;
  std::vector<SpareBinding> bindings;
};

// Plans `text` (UTF-8) for `keymap`, or says why it cannot be written
// (invalid UTF-8, a control character other than '\n' and '\t', more
// missing characters than spare keycodes).
Expected<TextPlan> plan_text(std::string_view text, const Keymap& keymap);

}  // namespace ondrel::linux::x11
