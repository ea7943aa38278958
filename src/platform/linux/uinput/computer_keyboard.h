#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "devices/outcome.h"
#include "platform/linux/uinput/device.h"

namespace ondrel::linux::uinput {

// A Computer's keyboard on uinput: every key that the computer layer's key
// table names (by its evdev code). No EV_REP: the kernel would repeat a key
// held longer than its delay on its own.
Capabilities computer_keyboard_capabilities();

// Whether the keyboard has the key with evdev code `code`; the kernel
// drops, without a word, an event for a key a device did not declare.
bool computer_keyboard_has(std::uint16_t code);

// One character as a US layout types it.
struct TypedStroke {
  std::uint16_t code;  // evdev
  bool shifted;
};

inline constexpr std::uint16_t kShiftCode = 42;  // KEY_LEFTSHIFT

// The strokes that type UTF-8 `text` on a US layout ("\n" Enter, "\t" Tab),
// or why it cannot be typed: invalid UTF-8, or the first character the
// layout lacks, named ("U+00FC 'ü' cannot be typed through uinput, ...").
Expected<std::vector<TypedStroke>> us_layout_strokes(std::string_view text);

}  // namespace ondrel::linux::uinput
