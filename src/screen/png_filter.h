#pragma once

#include <cstdint>
#include <vector>

#include "screen/image.h"

namespace ondrel::screen {

// The image as PNG's filtered scanlines, what deflate compresses: each row
// its filter type byte and the row filtered by it. Each row takes the filter
// whose output has the smallest sum of absolute values (taken as signed
// bytes), the heuristic the PNG specification recommends and libpng and
// Pillow use: flat areas become runs of zeros, edges stay cheap.
std::vector<std::uint8_t> filter_rows(const RgbImage& image);

}  // namespace ondrel::screen
