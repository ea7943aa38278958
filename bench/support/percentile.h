#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace ondrel::bench {

// The value below which `fraction` of `samples` lie (nearest rank, no
// interpolation); `samples` must not be empty.
inline double percentile(std::vector<double> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  return samples[static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1))];
}

}  // namespace ondrel::bench
