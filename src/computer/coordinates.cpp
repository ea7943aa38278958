#include "computer/coordinates.h"

#include <algorithm>

namespace ondrel::computer {
namespace {

bool inside(Point point, Size size) {
  return point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height;
}

// The pixel under the centre of pixel `value` of a side of `from` pixels
// stretched over `to`: floor((value + 1/2) * to / from), for value in
// [0, from). Pixel j of a screenshot shows the screen's [j*S/T, (j+1)*S/T)
// (area averaging), and this is the screen pixel at its middle; for a
// screenshot no larger than the screen, the way back gives j again.
std::int32_t scale_axis(std::int32_t value, std::int32_t from, std::int32_t to) {
  const std::int64_t scaled = (2 * std::int64_t{value} + 1) * to / (2 * std::int64_t{from});
  return static_cast<std::int32_t>(std::min<std::int64_t>(scaled, to - 1));
}

}  // namespace

std::string size_text(Size size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

Expected<Size> usable_screen_size(ComputerInput& input) {
  Expected<Size> screen = input.screen_size();
  if (screen.ok() && (screen.value().width <= 0 || screen.value().height <= 0)) {
    return Outcome::failure("the screen's size " + size_text(screen.value()) + " has no pixels");
  }
  return screen;
}

Expected<Point> screenshot_to_screen(Point given, std::string_view what, Size screen, const Scaling& scaling) {
  if (!scaling.scale_from) {
    if (!inside(given, screen)) {
      return Outcome::failure(std::string(what) + " is outside the screen (" + size_text(screen) + ")");
    }
    return given;
  }
  const Size shot = *scaling.scale_from;
  if (!inside(given, shot)) {
    return Outcome::failure(std::string(what) + " is outside the screenshot (" + size_text(shot) + ")");
  }
  return Point{scale_axis(given.x, shot.width, screen.width), scale_axis(given.y, shot.height, screen.height)};
}

Expected<Point> method_point_to_screen(ComputerInput& input, Point given, const Scaling& scaling) {
  if (!scaling.scale_from) return given;
  const Expected<Size> screen = usable_screen_size(input);
  if (!screen.ok()) return screen.outcome();
  const std::string what = "point (" + std::to_string(given.x) + ", " + std::to_string(given.y) + ")";
  return screenshot_to_screen(given, what, screen.value(), scaling);
}

Expected<Point> grid_to_screen(Point given, std::string_view what, Size screen) {
  if (!inside(given, Size{kGridSize, kGridSize})) {
    return Outcome::failure(std::string(what) + " is outside the grid of 0 to 999");
  }
  return Point{static_cast<std::int32_t>(grid_length_to_screen(given.x, screen.width)),
               static_cast<std::int32_t>(grid_length_to_screen(given.y, screen.height))};
}

std::int64_t grid_length_to_screen(std::int64_t length, std::int32_t extent) { return length * extent / kGridSize; }

Point screen_to_screenshot(Point pixel, Size screen, const Scaling& scaling) {
  if (!scaling.scale_from || !inside(pixel, screen)) return pixel;
  const Size shot = *scaling.scale_from;
  return Point{scale_axis(pixel.x, screen.width, shot.width), scale_axis(pixel.y, screen.height, shot.height)};
}

}  // namespace ondrel::computer
