#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/physical_keys.h"

namespace ondrel::computer {

// One key of a full-size PC keyboard: the names a model may call it by, and
// the key itself, whose codes on each system are in the physical key table.
// names[0] is the X keysym name that xdotool takes; the other names are the
// upper-case names of OpenAI's keypress (matched in any case) and plain words.
// Names are matched case-insensitively, so "a" is the A key and never Shift+A.
struct KeyRow {
  std::array<std::string_view, 8> names;
  PhysicalKeyId id;

  constexpr const PhysicalKey& key() const { return physical_key(id); }
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
