#include "screen/box_resampler.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace ondrel::screen {
namespace {

// Weights are fixed-point with 14 fractional bits and sum to exactly one,
// so that an area of one colour keeps that colour exactly. The horizontal
// pass keeps 8 fractional bits of each value for the vertical one; both
// sums stay within 32 bits (255 << 8 << 14 < 2^32).
constexpr int kWeightBits = 14;
constexpr std::uint32_t kWeightOne = 1u << kWeightBits;
constexpr int kKeptBits = 8;

// The source pixels under each target pixel along one axis, and their weights.
struct AxisWeights {
  std::vector<std::int32_t> first;           // per target pixel: its first source pixel
  std::vector<std::int32_t> offset;          // per target pixel: where its weights start; one more at the end
  std::vector<std::uint32_t> weights;
  [[nodiscard]] std::int32_t count(std::size_t target) const { return offset[target + 1] - offset[target]; }
};

// Target pixel j covers [j*S, (j+1)*S) and source pixel k covers [k*T, (k+1)*T),
// both in units of 1/T of a source pixel: the overlaps are whole numbers and
// sum to S for each target pixel.
AxisWeights axis_weights(std::int32_t source, std::int32_t target) {
  AxisWeights axis;
  axis.first.reserve(static_cast<std::size_t>(target));
  axis.offset.reserve(static_cast<std::size_t>(target) + 1);
  const std::int64_t s = source;
  const std::int64_t t = target;
  for (std::int64_t j = 0; j < t; ++j) {
    const std::int64_t begin = j * s;
    const std::int64_t end = (j + 1) * s;
    const std::int64_t first = begin / t;
    const std::int64_t last = (end - 1) / t;  // inclusive
    axis.first.push_back(static_cast<std::int32_t>(first));
    axis.offset.push_back(static_cast<std::int32_t>(axis.weights.size()));
    const std::size_t start = axis.weights.size();
    std::uint32_t sum = 0;
    for (std::int64_t k = first; k <= last; ++k) {
      const std::int64_t overlap = std::min(end, (k + 1) * t) - std::max(begin, k * t);
      const auto weight = static_cast<std::uint32_t>((overlap * kWeightOne + s / 2) / s);
      axis.weights.push_back(weight);
      sum += weight;
    }
    // Rounding may leave the sum a little off one: the largest weight takes the difference.
    const auto largest = std::max_element(axis.weights.begin() + static_cast<std::ptrdiff_t>(start), axis.weights.end());
    *largest = *largest + kWeightOne - sum;
  }
  axis.offset.push_back(static_cast<std::int32_t>(axis.weights.size()));
  return axis;
}

// Each row of `source` at the target's width, values kept with kKeptBits fractional bits.
std::vector<std::uint16_t> resample_rows(const RgbImage& source, const AxisWeights& across, std::int32_t width) {
  constexpr std::size_t channels = RgbImage::kChannels;
  const std::size_t out_row = static_cast<std::size_t>(width) * channels;
  std::vector<std::uint16_t> rows(out_row * static_cast<std::size_t>(source.height));
  constexpr std::uint32_t half = 1u << (kWeightBits - kKeptBits - 1);
  for (std::int32_t y = 0; y < source.height; ++y) {
    const std::uint8_t* in = source.row(y);
    std::uint16_t* out = rows.data() + out_row * static_cast<std::size_t>(y);
    for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
      const std::uint8_t* pixel = in + static_cast<std::size_t>(across.first[x]) * channels;
      const std::uint32_t* weight = across.weights.data() + across.offset[x];
      std::uint32_t r = half, g = half, b = half;
      for (std::int32_t i = 0; i < across.count(x); ++i, pixel += channels) {
        r += weight[i] * pixel[0];
        g += weight[i] * pixel[1];
        b += weight[i] * pixel[2];
      }
      out[x * channels + 0] = static_cast<std::uint16_t>(r >> (kWeightBits - kKeptBits));
      out[x * channels + 1] = static_cast<std::uint16_t>(g >> (kWeightBits - kKeptBits));
      out[x * channels + 2] = static_cast<std::uint16_t>(b >> (kWeightBits - kKeptBits));
    }
  }
  return rows;
}

}  // namespace

RgbImage resample_box(const RgbImage& source, std::int32_t width, std::int32_t height) {
  const AxisWeights across = axis_weights(source.width, width);
  const AxisWeights down = axis_weights(source.height, height);
  const std::vector<std::uint16_t> rows = resample_rows(source, across, width);
  RgbImage target = RgbImage::blank(width, height);
  const std::size_t row_values = target.row_bytes();
  std::vector<std::uint32_t> sums(row_values);
  constexpr int shift = kWeightBits + kKeptBits;
  for (std::int32_t y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 1u << (shift - 1));
    const std::uint32_t* weight = down.weights.data() + down.offset[static_cast<std::size_t>(y)];
    for (std::int32_t i = 0; i < down.count(static_cast<std::size_t>(y)); ++i) {
      const std::size_t source_row = static_cast<std::size_t>(down.first[static_cast<std::size_t>(y)] + i);
      const std::uint16_t* in = rows.data() + row_values * source_row;
      for (std::size_t v = 0; v < row_values; ++v) sums[v] += weight[i] * in[v];
    }
    std::uint8_t* out = target.row(y);
    for (std::size_t v = 0; v < row_values; ++v) out[v] = static_cast<std::uint8_t>(sums[v] >> shift);
  }
  return target;
}

}  // namespace ondrel::screen
