#include <gtest/gtest.h>

#include <tuple>

#include "computer/screenshot_space.h"

namespace ondrel::computer {
namespace {

// (screen, screenshot): the usual scalings down, an odd one, and one up.
class ScreenshotSpaces : public testing::TestWithParam<std::tuple<Size, Size>> {};

// Screenshot pixel j shows the screen's [j*S/T, (j+1)*S/T); a point read off
// it must land in there, and the pixel where the pointer is must be read
// back as j (for a screenshot no larger than the screen).
TEST_P(ScreenshotSpaces, EveryPointLandsInThePixelsItAveragesAndComesBack) {
  const auto [screen, shot] = GetParam();
  const Scaling scaling{shot};
  for (std::int32_t j = 0; j < shot.width; ++j) {
    const Expected<Point> on_screen = screenshot_to_screen({j, j % shot.height}, "point", screen, scaling);
    ASSERT_TRUE(on_screen.ok());
    const std::int64_t x = on_screen.value().x;
    // The middle of screen pixel x is inside j's area: j*S <= (x + 1/2) * T < (j+1)*S, in units of 1/(2T).
    EXPECT_LE(2 * std::int64_t{j} * screen.width, (2 * x + 1) * shot.width) << j;
    EXPECT_LT((2 * x) * shot.width, 2 * (std::int64_t{j} + 1) * screen.width) << j;
    if (shot.width <= screen.width) {
      EXPECT_EQ(screen_to_screenshot(on_screen.value(), screen, scaling).x, j);
    }
  }
}

TEST_P(ScreenshotSpaces, ARegionCoversTheScreenPixelsOfItsAreaAndFitsItsSize) {
  const auto [screen, shot] = GetParam();
  const Scaling scaling{shot};
  const Expected<ScreenArea> whole = region_on_screen({0, 0, shot.width, shot.height}, screen, scaling);
  ASSERT_TRUE(whole.ok());
  EXPECT_EQ(whole.value(), (ScreenArea{{0, 0}, screen}));
  const Expected<ScreenArea> one = region_on_screen({1, 1, 2, 2}, screen, scaling);
  ASSERT_TRUE(one.ok());
  const Expected<Point> middle = screenshot_to_screen({1, 1}, "point", screen, scaling);
  const ScreenArea area = one.value();
  EXPECT_GE(middle.value().x, area.origin.x);
  EXPECT_LT(middle.value().x, area.origin.x + area.size.width);
  EXPECT_GE(area.size.width, 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenshotSpaces,
                         testing::Values(std::tuple{Size{1920, 1080}, Size{1280, 720}},
                                         std::tuple{Size{1280, 800}, Size{640, 400}},
                                         std::tuple{Size{1366, 768}, Size{1024, 576}},
                                         std::tuple{Size{3000, 2000}, Size{1000, 999}},
                                         std::tuple{Size{600, 400}, Size{1200, 800}}));

TEST(ScreenshotSpace, FittedSizesKeepTheAspect) {
  EXPECT_EQ(fitted_size({100, 50}, {1280, 720}), (Size{1280, 640}));
  EXPECT_EQ(fitted_size({50, 100}, {1280, 720}), (Size{360, 720}));
  EXPECT_EQ(fitted_size({1920, 1080}, {1280, 720}), (Size{1280, 720}));
  EXPECT_EQ(fitted_size({3000, 1}, {100, 100}), (Size{100, 1}));
  EXPECT_EQ(fitted_size({7, 3}, {7, 3}), (Size{7, 3}));
}

}  // namespace
}  // namespace ondrel::computer
