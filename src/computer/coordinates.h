#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "computer/computer_input.h"

namespace ondrel::computer {

// How the points a model gives map to the screen. With scale_from, points
// are pixels of screenshots of that size, scaled to the screen; without it,
// they are screen pixels.
struct Scaling {
  std::optional<Size> scale_from;
};

// Gemini's coordinates are on a grid of this many steps each way, whatever
// the screen's size.
inline constexpr std::int32_t kGridSize = 1000;

// The screen pixel that `given` stands for. `what` names the point in the
// message of a point outside the screenshot or screen ("`coordinate` [1300, 20]").
Expected<Point> screenshot_to_screen(Point given, std::string_view what, Size screen, const Scaling& scaling);

// The screen pixel of a grid point: x * width / 1000, rounded down, as
// Gemini's documentation converts them.
Expected<Point> grid_to_screen(Point given, std::string_view what, Size screen);

// A length on the grid along a screen side of `extent` pixels.
std::int64_t grid_length_to_screen(std::int64_t length, std::int32_t extent);

// Where a screen pixel is in the screenshot (or on the screen, unscaled).
Point screen_to_screenshot(Point pixel, Size screen, const Scaling& scaling);

// A point given to one of the Computer's own methods: with scale_from, a
// screenshot pixel mapped to the screen as execute() maps one; without it,
// the screen pixel itself (the Computer checks it against the screen).
Expected<Point> method_point_to_screen(ComputerInput& input, Point given, const Scaling& scaling);

// The screen's size, which must be usable to map points onto it.
Expected<Size> usable_screen_size(ComputerInput& input);

std::string size_text(Size size);

}  // namespace ondrel::computer
