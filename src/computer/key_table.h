#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace ondrel::computer {

// One key of a full-size PC keyboard: the names a model may call it by, and
// the code of that key on each system. names[0] is the X keysym name that
// xdotool takes; the other names are the upper-case names of OpenAI's
// keypress (matched in any case) and plain words. Names are matched
// case-insensitively, so "a" is the A key and never Shift+A.
//
// `extended` is the Windows scan code's E0 prefix (KEYEVENTF_EXTENDEDKEY):
// without it Windows takes the navigation keys for the keypad's keys of the
// same name. The evdev codes are linux/input-event-codes.h's, written as
// numbers because Windows builds have no such header.
struct KeyRow {
  std::array<std::string_view, 8> names;
  std::uint32_t keysym;
  std::uint16_t virtual_key;
  std::uint16_t scan_code;
  bool extended;
  std::uint16_t evdev;
};

// Every row of the table, in keyboard order.
std::span<const KeyRow> key_rows();

// The row named `name` in any case, or nullptr.
const KeyRow* find_key(std::string_view name);

// For the X keysym name of a character that a US keyboard types with Shift
// ("plus", "question", "at"), the row of the key it is on; else nullptr.
// xdotool presses Shift with that key, and so does a chord.
const KeyRow* find_shifted_key(std::string_view name);

}  // namespace ondrel::computer
