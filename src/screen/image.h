#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ondrel::screen {

// A picture of (part of) the screen: 8-bit red, green, blue per pixel, rows
// top to bottom with no padding between them.
struct RgbImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes

  static constexpr std::size_t kChannels = 3;

  static RgbImage blank(std::int32_t width, std::int32_t height) {
    return {width, height, std::vector<std::uint8_t>(byte_count(width, height))};
  }
  static std::size_t byte_count(std::int32_t width, std::int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kChannels;
  }
  [[nodiscard]] std::size_t row_bytes() const { return static_cast<std::size_t>(width) * kChannels; }
  [[nodiscard]] const std::uint8_t* row(std::int32_t y) const { return pixels.data() + row_bytes() * static_cast<std::size_t>(y); }
  std::uint8_t* row(std::int32_t y) { return pixels.data() + row_bytes() * static_cast<std::size_t>(y); }
};

}  // namespace ondrel::screen
