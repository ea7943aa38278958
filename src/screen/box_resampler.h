#pragma once

#include <cstdint>

#include "screen/image.h"

namespace ondrel::screen {

// `source` at `width` x `height`, each target pixel the average of the
// source area under it, weighted by how much of each source pixel it covers
// (area averaging, as Pillow's BOX filter and screenshot tools scale). It
// keeps one-pixel text strokes as grey rather than dropping them, which
// nearest-neighbour would. Sides of at least 1.
RgbImage resample_box(const RgbImage& source, std::int32_t width, std::int32_t height);

}  // namespace ondrel::screen
