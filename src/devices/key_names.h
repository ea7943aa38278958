#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "devices/hid_result.h"

namespace ondrel {

struct KeyName {
  std::string_view name;  // lower case, as matched after folding
  std::uint8_t usage;     // Keyboard/Keypad page (0x07)
};

// The whole vocabulary of key names. Deliberately absent: punctuation,
// modifiers, Caps Lock, Print Screen, keypad keys, F13 and above, and any
// spelling with a blank, hyphen or underscore inside ("page up").
inline constexpr auto kKeyNames = std::to_array<KeyName>({
    {"a", 0x04}, {"b", 0x05}, {"c", 0x06}, {"d", 0x07}, {"e", 0x08}, {"f", 0x09}, {"g", 0x0A},
    {"h", 0x0B}, {"i", 0x0C}, {"j", 0x0D}, {"k", 0x0E}, {"l", 0x0F}, {"m", 0x10}, {"n", 0x11},
    {"o", 0x12}, {"p", 0x13}, {"q", 0x14}, {"r", 0x15}, {"s", 0x16}, {"t", 0x17}, {"u", 0x18},
    {"v", 0x19}, {"w", 0x1A}, {"x", 0x1B}, {"y", 0x1C}, {"z", 0x1D},

    {"1", 0x1E}, {"2", 0x1F}, {"3", 0x20}, {"4", 0x21}, {"5", 0x22},
    {"6", 0x23}, {"7", 0x24}, {"8", 0x25}, {"9", 0x26}, {"0", 0x27},

    {"enter", 0x28},     {"return", 0x28},
    {"esc", 0x29},       {"escape", 0x29},
    {"backspace", 0x2A},
    {"tab", 0x2B},
    {"space", 0x2C},     {" ", 0x2C},  // a name made of one blank

    {"f1", 0x3A}, {"f2", 0x3B}, {"f3", 0x3C}, {"f4", 0x3D}, {"f5", 0x3E},  {"f6", 0x3F},
    {"f7", 0x40}, {"f8", 0x41}, {"f9", 0x42}, {"f10", 0x43}, {"f11", 0x44}, {"f12", 0x45},

    {"insert", 0x49},
    {"home", 0x4A},
    {"pageup", 0x4B},
    {"delete", 0x4C},
    {"end", 0x4D},
    {"pagedown", 0x4E},
    {"right", 0x4F},
    {"left", 0x50},
    {"down", 0x51},
    {"up", 0x52},
});
static_assert(kKeyNames.size() == 66);

// The usage named `name` (matched whole after full lower-casing), stored in
// `usage`; otherwise InvalidKey carrying `name` as given, `usage` untouched.
HidResult parse_key(std::string_view name, std::uint8_t& usage);

// `operation(usage)` for a known key name; an unknown name fails with
// InvalidKey before anything runs.
template <class Operation>
HidResult with_key_usage(std::string_view name, Operation&& operation) {
  std::uint8_t usage = 0;
  ONDREL_TRY(parse_key(name, usage));
  return operation(usage);
}

}  // namespace ondrel
