#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

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

// The plan, or why the text cannot be written (invalid UTF-8, a control
// character other than '\n' and '\t', more missing characters than spare
// keycodes).
class [[nodiscard]] TextPlanResult {
 public:
  static TextPlanResult success(TextPlan plan) { return TextPlanResult(std::in_place_index<0>, std::move(plan)); }
  static TextPlanResult failure(std::string message) {
    return TextPlanResult(std::in_place_index<1>, std::move(message));
  }

  [[nodiscard]] bool ok() const { return outcome_.index() == 0; }
  explicit operator bool() const { return ok(); }
  // Only when ok().
  [[nodiscard]] const TextPlan& plan() const { return std::get<0>(outcome_); }
  // Only when !ok().
  [[nodiscard]] const std::string& message() const { return std::get<1>(outcome_); }

 private:
  template <std::size_t I, class T>
  TextPlanResult(std::in_place_index_t<I> index, T&& value) : outcome_(index, std::forward<T>(value)) {}

  std::variant<TextPlan, std::string> outcome_;
};

// Plans `text` (UTF-8) for `keymap`, the server's current one.
TextPlanResult plan_text(std::string_view text, const Keymap& keymap);

}  // namespace ondrel::linux::x11
