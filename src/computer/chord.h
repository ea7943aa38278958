#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "computer/computer_input.h"
#include "computer/key_table.h"

namespace ondrel::computer {

// Keys pressed together: down in order, up in reverse.
struct Chord {
  std::vector<const KeyRow*> keys;
  [[nodiscard]] bool empty() const { return keys.empty(); }
};

// "ctrl+shift+t", "Return", "alt+Tab", "KP_Enter": names joined by "+",
// spaces around each name ignored.
Expected<Chord> parse_chord(std::string_view text);
// ["CTRL", "A"]: one name per element.
Expected<Chord> parse_chord(std::span<const std::string> names);

// Presses the chord, holds it `hold_ms` (through input.wait_ms), and at
// least as long as a typed character's keys (a program that reads key state
// once a frame sees it down), and lets go.
// A key that fails to go down releases the keys already down; a failed wait
// still lets go of everything.
Outcome press_chord(ComputerInput& input, const Chord& chord, std::uint32_t hold_ms);

// Holds the chord down around `body`, and lets go after it, whether it
// succeeded or not; the first failure is the answer.
Outcome with_chord_held(ComputerInput& input, const Chord& chord, const std::function<Outcome()>& body);

// How messages show a caller's text: in backquotes, cut after 60 bytes
// (never inside a character).
std::string quoted(std::string_view text);

}  // namespace ondrel::computer
