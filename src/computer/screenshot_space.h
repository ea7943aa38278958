#pragma once

#include <cstdint>
#include <string>

#include "computer/coordinates.h"

namespace ondrel::computer {

// A rectangle of screenshot pixels: x1 and y1 exclusive.
struct ShotRegion {
  std::int32_t x0 = 0;
  std::int32_t y0 = 0;
  std::int32_t x1 = 0;
  std::int32_t y1 = 0;
};

std::string region_text(const ShotRegion& region);

// The size of the screenshots: scale_from, or the screen's own.
Size screenshot_size(Size screen, const Scaling& scaling);

// The screen pixels that `region` of a screenshot shows: every pixel any of
// its pixels averages. A region that is empty or not wholly on the
// screenshot fails, naming it.
Expected<ScreenArea> region_on_screen(const ShotRegion& region, Size screen, const Scaling& scaling);

// The largest size within `bounds` with the aspect of `area` (each side at
// least one pixel).
Size fitted_size(Size area, Size bounds);

}  // namespace ondrel::computer
