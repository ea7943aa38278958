#include "computer/screenshot_space.h"

#include <algorithm>

namespace ondrel::computer {
namespace {

// Where a screenshot edge at `edge` lies on a screen side of `to` pixels,
// rounded out: down for a first edge, up for an end.
std::int32_t edge_on_screen(std::int32_t edge, std::int32_t from, std::int32_t to, bool round_up) {
  const std::int64_t scaled = std::int64_t{edge} * to;
  return static_cast<std::int32_t>(round_up ? (scaled + from - 1) / from : scaled / from);
}

std::int32_t scaled_side(std::int64_t side, std::int64_t numerator, std::int64_t denominator) {
  return static_cast<std::int32_t>(std::max<std::int64_t>(1, (2 * side * numerator + denominator) / (2 * denominator)));
}

}  // namespace

std::string region_text(const ShotRegion& region) {
  return "(" + std::to_string(region.x0) + ", " + std::to_string(region.y0) + ", " + std::to_string(region.x1) + ", " +
         std::to_string(region.y1) + ")";
}

Size screenshot_size(Size screen, const Scaling& scaling) { return scaling.scale_from.value_or(screen); }

Expected<ScreenArea> region_on_screen(const ShotRegion& region, Size screen, const Scaling& scaling) {
  const Size shot = screenshot_size(screen, scaling);
  if (region.x1 <= region.x0 || region.y1 <= region.y0)
    return Outcome::failure("region " + region_text(region) + " is empty: x1 and y1 must exceed x0 and y0");
  if (region.x0 < 0 || region.y0 < 0 || region.x1 > shot.width || region.y1 > shot.height)
    return Outcome::failure("region " + region_text(region) + " is outside the " +
                            (scaling.scale_from ? "screenshot (" : "screen (") + size_text(shot) + ")");
  const std::int32_t left = edge_on_screen(region.x0, shot.width, screen.width, false);
  const std::int32_t top = edge_on_screen(region.y0, shot.height, screen.height, false);
  const std::int32_t right = edge_on_screen(region.x1, shot.width, screen.width, true);
  const std::int32_t bottom = edge_on_screen(region.y1, shot.height, screen.height, true);
  return ScreenArea{{left, top}, {right - left, bottom - top}};
}

Size fitted_size(Size area, Size bounds) {
  // Whichever side binds: compare bounds.width / area.width with bounds.height / area.height.
  if (std::int64_t{bounds.width} * area.height <= std::int64_t{bounds.height} * area.width)
    return {bounds.width, std::min(bounds.height, scaled_side(area.height, bounds.width, area.width))};
  return {std::min(bounds.width, scaled_side(area.width, bounds.height, area.height)), bounds.height};
}

}  // namespace ondrel::computer
