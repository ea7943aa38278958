#include "computer/pointer_steps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/stoppable_pause.h"

namespace ondrel::computer {
namespace {

constexpr std::int64_t kPixelsPerNotch = 120;

Outcome move_if_given(ComputerInput& input, std::optional<Point> at) {
  return at ? input.move_to(*at) : Outcome::success();
}

std::int32_t part_of(std::int32_t from, std::int32_t to, int step, int steps) {
  const double offset = (static_cast<double>(to) - from) * step / steps;
  return static_cast<std::int32_t>(from + std::lround(offset));
}

// The points a leg passes through: `to` last, `from` not among them.
std::vector<Point> leg_steps(Point from, Point to) {
  const std::int64_t span = std::max(std::abs(static_cast<std::int64_t>(to.x) - from.x),
                                     std::abs(static_cast<std::int64_t>(to.y) - from.y));
  const int steps = static_cast<int>(std::clamp<std::int64_t>(span, 1, kDragStepsPerLeg));
  std::vector<Point> points;
  points.reserve(static_cast<std::size_t>(steps));
  for (int step = 1; step < steps; ++step)
    points.push_back({part_of(from.x, to.x, step, steps), part_of(from.y, to.y, step, steps)});
  points.push_back(to);
  return points;
}

// With the button down: each leg in paced steps, resting before and after.
Outcome move_held_along(ComputerInput& input, std::span<const Point> path) {
  ONDREL_CHECK(pause_unless_stopped(kDragSettleMs));
  bool first_step = true;
  for (std::size_t leg = 1; leg < path.size(); ++leg) {
    for (const Point step : leg_steps(path[leg - 1], path[leg])) {
      if (!first_step) ONDREL_CHECK(pause_unless_stopped(kDragStepMs));
      first_step = false;
      ONDREL_CHECK(input.move_to(step));
    }
  }
  return pause_unless_stopped(kDragSettleMs);
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
    ONDREL_CHECK(input.button(Button::left, true));
    const Outcome along = move_held_along(input, path);
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
