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

// The pace of a drag. Applications sample the pointer: a browser reads it
// once a frame and merges the motion that arrived meanwhile, so a drag sent
// in one burst shows neither its corners nor, to an HTML5 drag and drop, any
// motion after the drag began. Each leg goes in up to kDragStepsPerLeg steps
// (one per pixel when shorter) kDragStepMs apart, ending exactly at its
// point; the button rests kDragSettleMs after the press and before the
// release, so that the press and the last point are seen where they are.
inline constexpr int kDragStepsPerLeg = 10;
inline constexpr std::uint32_t kDragStepMs = 10;
inline constexpr std::uint32_t kDragSettleMs = 50;

// Presses the left button at path[0], moves through the rest at the pace
// above and lets go at the last. Every pause holds the button, so none waits
// for anything but the clock and a stop; a failure or a stop still lets go.
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
