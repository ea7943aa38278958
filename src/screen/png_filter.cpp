#include "screen/png_filter.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace ondrel::screen {
namespace {

enum Filter : std::uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };
constexpr std::size_t kFilters = 5;
constexpr std::size_t kBytesPerPixel = RgbImage::kChannels;

std::uint8_t paeth_predictor(int left, int above, int upper_left) {
  const int estimate = left + above - upper_left;
  const int to_left = std::abs(estimate - left);
  const int to_above = std::abs(estimate - above);
  const int to_upper_left = std::abs(estimate - upper_left);
  if (to_left <= to_above && to_left <= to_upper_left) return static_cast<std::uint8_t>(left);
  if (to_above <= to_upper_left) return static_cast<std::uint8_t>(above);
  return static_cast<std::uint8_t>(upper_left);
}

// The cost of a filtered byte: its distance from zero as a signed byte.
std::uint32_t cost(std::uint8_t value) { return value < 128 ? value : 256u - value; }

// Filters `row` (with `above`, zeros for the first row) by `filter` into
// `out`; the sum of the costs.
template <Filter filter>
std::uint32_t apply(const std::uint8_t* row, const std::uint8_t* above, std::size_t size, std::uint8_t* out) {
  std::uint32_t total = 0;
  for (std::size_t i = 0; i < size; ++i) {
    [[maybe_unused]] const std::uint8_t left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
    [[maybe_unused]] const std::uint8_t upper_left = i >= kBytesPerPixel ? above[i - kBytesPerPixel] : 0;
    std::uint8_t predicted = 0;
    if constexpr (filter == kSub) predicted = left;
    if constexpr (filter == kUp) predicted = above[i];
    if constexpr (filter == kAverage) predicted = static_cast<std::uint8_t>((left + above[i]) / 2);
    if constexpr (filter == kPaeth) predicted = paeth_predictor(left, above[i], upper_left);
    out[i] = static_cast<std::uint8_t>(row[i] - predicted);
    total += cost(out[i]);
  }
  return total;
}

using Apply = std::uint32_t (*)(const std::uint8_t*, const std::uint8_t*, std::size_t, std::uint8_t*);
constexpr std::array<Apply, kFilters> kApply{apply<kNone>, apply<kSub>, apply<kUp>, apply<kAverage>, apply<kPaeth>};

}  // namespace

std::vector<std::uint8_t> filter_rows(const RgbImage& image) {
  const std::size_t size = image.row_bytes();
  std::vector<std::uint8_t> filtered((size + 1) * static_cast<std::size_t>(image.height));
  const std::vector<std::uint8_t> zeros(size);
  std::array<std::vector<std::uint8_t>, kFilters> candidates;
  for (auto& candidate : candidates) candidate.resize(size);
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* row = image.row(y);
    const std::uint8_t* above = y > 0 ? image.row(y - 1) : zeros.data();
    std::size_t best = 0;
    std::uint32_t best_cost = UINT32_MAX;
    for (std::size_t filter = 0; filter < kFilters; ++filter) {
      const std::uint32_t total = kApply[filter](row, above, size, candidates[filter].data());
      if (total < best_cost) {
        best = filter;
        best_cost = total;
      }
    }
    std::uint8_t* out = filtered.data() + (size + 1) * static_cast<std::size_t>(y);
    out[0] = static_cast<std::uint8_t>(best);
    std::memcpy(out + 1, candidates[best].data(), size);
  }
  return filtered;
}

}  // namespace ondrel::screen
