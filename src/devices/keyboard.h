#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "devices/device.h"
#include "devices/keyboard_report.h"
#include "devices/typed_characters.h"

namespace ondrel {

inline constexpr std::string_view kDefaultKeyboardName = "ondrel Virtual Keyboard";

// A keyboard is only ever seen as reports: a key press is the report with
// the key, a pause, and the report without it. Each operation stops at its
// first failed send and takes back the keys and modifiers it put down.
class KeyboardDevice : public Device<KeyboardReport> {
 public:
  static constexpr unsigned kKeyHoldMs = 10;
  static constexpr unsigned kAfterCharacterMs = 5;

  explicit KeyboardDevice(BackendFactory factory, std::string name = std::string(kDefaultKeyboardName))
      : Device(std::move(name), std::move(factory)) {}

  HidResult press(std::uint8_t usage);
  HidResult key_down(std::uint8_t usage);
  HidResult key_up(std::uint8_t usage);
  // Presses `usage` while `modifiers` (modifier_bit values) are down; clears
  // those bits afterwards even if they were set before.
  HidResult combo(std::uint8_t modifiers, std::uint8_t usage);
  // Types the characters of UTF-8 `text` that have a key; skips the others.
  HidResult type_text(std::string_view text);
  HidResult release_all();

 private:
  void store_key(std::uint8_t usage);
  void clear_key(std::uint8_t usage);
  HidResult send_modifiers(std::uint8_t modifiers);
  HidResult press_key(std::uint8_t usage);
  HidResult type_key(TypedKey key);
  HidResult type_characters(std::string_view text);
};

}  // namespace ondrel
