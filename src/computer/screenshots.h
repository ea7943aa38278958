#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "computer/computer.h"
#include "computer/coordinates.h"
#include "computer/screenshot_space.h"

namespace ondrel::computer {

// A picture taken and made ready for PNG's deflate: its size and its
// filtered scanlines (screen/png_filter.h).
struct FilteredPicture {
  Size size;
  std::vector<std::uint8_t> scanlines;
};

// The whole screen in the screenshot's space: at scale_from, area-averaged,
// or at the screen's own size.
Expected<FilteredPicture> take_screenshot(Computer& computer, const Scaling& scaling);

// `region` of the screenshot, taken at the screen's resolution and scaled to
// fit `size` (by default the screenshot's size) with its aspect kept.
Expected<FilteredPicture> take_zoom(Computer& computer, const Scaling& scaling, const ShotRegion& region,
                                    std::optional<Size> size);

}  // namespace ondrel::computer
