#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "computer/chord.h"
#include "computer/computer_input.h"

namespace ondrel::computer {

// The steps the vocabularies share. Points are screen pixels, already
// checked. Each step lets go of what it pressed when a later part fails.

// Moves there (if given), then clicks `count` times, with `held` held.
Outcome click_at(ComputerInput& input, std::optional<Point> at, Button button, int count, const Chord& held);

// Presses `button` at path[0], moves through the rest and lets go at the last.
Outcome drag_along(ComputerInput& input, std::span<const Point> path, const Chord& held);

// Moves there (if given) and turns the wheel: dy > 0 down, dx > 0 right.
Outcome scroll_at(ComputerInput& input, std::optional<Point> at, std::int32_t dx, std::int32_t dy, const Chord& held);

// Wheel notches for a distance in pixels, 120 a notch as Windows counts
// them, rounded, at least one when the distance is not zero.
std::int32_t pixels_to_notches(std::int64_t pixels);

// Waits `seconds`, at most kMaxWaitSeconds.
inline constexpr double kMaxWaitSeconds = 60;
Outcome wait_seconds(ComputerInput& input, double seconds);

}  // namespace ondrel::computer
