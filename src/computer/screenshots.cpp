#include "computer/screenshots.h"

#include "screen/box_resampler.h"
#include "screen/png_filter.h"

namespace ondrel::computer {
namespace {

FilteredPicture filtered_at(const screen::RgbImage& taken, Size size) {
  if (taken.width == size.width && taken.height == size.height) return {size, screen::filter_rows(taken)};
  return {size, screen::filter_rows(screen::resample_box(taken, size.width, size.height))};
}

}  // namespace

Expected<FilteredPicture> take_screenshot(Computer& computer, const Scaling& scaling) {
  const Expected<screen::RgbImage> taken = computer.capture(std::nullopt);
  if (!taken.ok()) return taken.outcome();
  const Size screen{taken.value().width, taken.value().height};
  return filtered_at(taken.value(), screenshot_size(screen, scaling));
}

Expected<FilteredPicture> take_zoom(Computer& computer, const Scaling& scaling, const ShotRegion& region,
                                    std::optional<Size> size) {
  const Expected<Size> screen = usable_screen_size(computer);
  if (!screen.ok()) return screen.outcome();
  const Expected<ScreenArea> area = region_on_screen(region, screen.value(), scaling);
  if (!area.ok()) return area.outcome();
  const Expected<screen::RgbImage> taken = computer.capture(area.value());
  if (!taken.ok()) return taken.outcome();
  const Size bounds = size.value_or(screenshot_size(screen.value(), scaling));
  return filtered_at(taken.value(), fitted_size(area.value().size, bounds));
}

}  // namespace ondrel::computer
