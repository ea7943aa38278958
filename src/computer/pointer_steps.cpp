#include "computer/pointer_steps.h"

#include <algorithm>
#include <cmath>

namespace ondrel::computer {
namespace {

constexpr std::int64_t kPixelsPerNotch = 120;

Outcome move_if_given(ComputerInput& input, std::optional<Point> at) {
  return at ? input.move_to(*at) : Outcome::success();
}

}  // namespace

Outcome click_at(ComputerInput& input, std::optional<Point> at, Button button, int count, const Chord& held) {
  if (Outcome moved = move_if_given(input, at); !moved.ok()) return moved;
  return with_chord_held(input, held, [&] { return input.click(button, count); });
}

Outcome drag_along(ComputerInput& input, std::span<const Point> path, const Chord& held) {
  if (path.empty()) return Outcome::success();
  if (Outcome moved = input.move_to(path.front()); !moved.ok()) return moved;
  return with_chord_held(input, held, [&] {
    if (Outcome down = input.button(Button::left, true); !down.ok()) return down;
    Outcome along = Outcome::success();
    for (const Point point : path.subspan(1)) {
      along = input.move_to(point);
      if (!along.ok()) break;
    }
    Outcome up = input.button(Button::left, false);
    return along.ok() ? up : along;
  });
}

Outcome scroll_at(ComputerInput& input, std::optional<Point> at, std::int32_t dx, std::int32_t dy, const Chord& held) {
  if (Outcome moved = move_if_given(input, at); !moved.ok()) return moved;
  if (dx == 0 && dy == 0) return Outcome::success();
  return with_chord_held(input, held, [&] { return input.scroll(dx, dy); });
}

std::int32_t pixels_to_notches(std::int64_t pixels) {
  if (pixels == 0) return 0;
  const std::int64_t magnitude = std::max<std::int64_t>(1, (std::abs(pixels) + kPixelsPerNotch / 2) / kPixelsPerNotch);
  return static_cast<std::int32_t>(pixels < 0 ? -magnitude : magnitude);
}

Outcome wait_seconds(ComputerInput& input, double seconds) {
  const double capped = std::clamp(seconds, 0.0, kMaxWaitSeconds);
  return input.wait_ms(static_cast<std::uint32_t>(std::lround(capped * 1000)));
}

}  // namespace ondrel::computer
