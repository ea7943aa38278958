#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <random>
#include <tuple>

#include "screen/box_resampler.h"

namespace ondrel::screen {
namespace {

RgbImage grey_row(std::initializer_list<std::uint8_t> values) {
  RgbImage image = RgbImage::blank(static_cast<std::int32_t>(values.size()), 1);
  std::size_t i = 0;
  for (const std::uint8_t value : values)
    for (int c = 0; c < 3; ++c) image.pixels[i++] = value;
  return image;
}

std::vector<std::uint8_t> reds(const RgbImage& image) {
  std::vector<std::uint8_t> values;
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) values.push_back(image.pixels[i]);
  return values;
}

double mean(const RgbImage& image, int channel) {
  double sum = 0;
  for (std::size_t i = static_cast<std::size_t>(channel); i < image.pixels.size(); i += 3) sum += image.pixels[i];
  return sum / static_cast<double>(image.width) / static_cast<double>(image.height);
}

// (source width, height, target width, height): down, up, by whole and by odd factors.
class BoxScales : public testing::TestWithParam<std::tuple<int, int, int, int>> {};

TEST_P(BoxScales, KeepOneColourExactlyAndTheMeanOfAnyPicture) {
  const auto [sw, sh, tw, th] = GetParam();
  RgbImage flat = RgbImage::blank(sw, sh);
  for (std::size_t i = 0; i < flat.pixels.size(); ++i) flat.pixels[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 254 : 1 + i % 3);
  const RgbImage flat_scaled = resample_box(flat, tw, th);
  ASSERT_EQ(flat_scaled.width, tw);
  ASSERT_EQ(flat_scaled.height, th);
  for (std::size_t i = 0; i < flat_scaled.pixels.size(); ++i)
    ASSERT_EQ(flat_scaled.pixels[i], flat.pixels[i % 3]) << "byte " << i;

  // Area averaging moves colour around but keeps all of it: the means agree to rounding.
  std::mt19937 random(7);
  RgbImage noise = RgbImage::blank(sw, sh);
  for (auto& value : noise.pixels) value = static_cast<std::uint8_t>(random());
  const RgbImage noise_scaled = resample_box(noise, tw, th);
  for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(mean(noise_scaled, channel), mean(noise, channel), 0.5);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BoxScales,
                         testing::Values(std::tuple{1920, 1080, 1280, 720}, std::tuple{64, 48, 32, 24},
                                         std::tuple{37, 23, 11, 7}, std::tuple{10, 10, 1, 1},
                                         std::tuple{7, 5, 70, 50}, std::tuple{9, 4, 20, 13},
                                         std::tuple{1, 1, 3, 2}));

TEST(BoxResampler, AveragesTheAreaUnderEachPixel) {
  // 3 -> 2: each target pixel is one and a half source pixels; a one-pixel stroke stays, as grey, in both.
  EXPECT_EQ(reds(resample_box(grey_row({0, 255, 0}), 2, 1)), (std::vector<std::uint8_t>{85, 85}));
  EXPECT_EQ(reds(resample_box(grey_row({255, 0, 0}), 2, 1)), (std::vector<std::uint8_t>{170, 0}));
  // 4 -> 2 is Pillow's reduce(2): pairs, rounded half up.
  EXPECT_EQ(reds(resample_box(grey_row({0, 255, 10, 11}), 2, 1)), (std::vector<std::uint8_t>{128, 11}));
  // 2 -> 3: the middle pixel straddles both.
  EXPECT_EQ(reds(resample_box(grey_row({0, 240}), 3, 1)), (std::vector<std::uint8_t>{0, 120, 240}));
  // Both axes: a 2x2 block averages to one pixel.
  RgbImage block = RgbImage::blank(2, 2);
  const std::uint8_t corners[4] = {0, 100, 200, 255};
  for (std::size_t p = 0; p < 4; ++p) block.pixels[p * 3] = corners[p];
  EXPECT_EQ(reds(resample_box(block, 1, 1)), (std::vector<std::uint8_t>{139}));
}

}  // namespace
}  // namespace ondrel::screen
