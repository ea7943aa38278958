#include "platform/windows/virtual_keys.h"

#include <cstddef>

namespace ondrel::win32 {
namespace {

constexpr std::size_t kUsageCount = 256;

constexpr bool rows_ascend_without_overlap() {
  int previous_last = -1;
  for (const UsageKeys& row : kUsageKeys) {
    if (row.first_usage <= previous_last || row.last_usage < row.first_usage) return false;
    previous_last = row.last_usage;
  }
  return true;
}
static_assert(rows_ascend_without_overlap());

// kUsageKeys indexed by usage; code 0 marks a usage without a key.
constexpr std::array<VirtualKey, kUsageCount> index_by_usage() {
  std::array<VirtualKey, kUsageCount> index{};
  for (const UsageKeys& row : kUsageKeys) {
    for (unsigned usage = row.first_usage; usage <= row.last_usage; ++usage) {
      index[usage] = {static_cast<std::uint16_t>(row.first_virtual_key + (usage - row.first_usage)), row.extended};
    }
  }
  return index;
}

constexpr std::array<VirtualKey, kUsageCount> kVirtualKeyByUsage = index_by_usage();

}  // namespace

std::optional<VirtualKey> virtual_key_for_usage(std::uint8_t usage) {
  const VirtualKey key = kVirtualKeyByUsage[usage];
  if (key.code == 0) return std::nullopt;
  return key;
}

}  // namespace ondrel::win32
