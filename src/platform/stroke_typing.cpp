#include "platform/stroke_typing.h"

#include "platform/stoppable_pause.h"

namespace ondrel {
namespace {

// A key whose release failed may still be down: one more try, at once. The
// failure stays the answer, as the devices' is.
Outcome release(const StrokeKeySend& send, std::size_t key) {
  Outcome up = send(key, false);
  if (!up.ok()) (void)send(key, false);
  return up;
}

// Presses keys [first, first + count), holds them and lets go in reverse.
Outcome type_stroke(std::size_t first, std::size_t count, std::uint32_t held_ms, const StrokeKeySend& send) {
  std::size_t pressed = 0;
  Outcome done = Outcome::success();
  while (pressed < count && done.ok()) {
    done = send(first + pressed, true);
    if (done.ok()) ++pressed;
  }
  if (done.ok()) done = pause_unless_stopped(held_ms);
  for (std::size_t i = pressed; i-- > 0;) {
    Outcome up = release(send, first + i);
    if (done.ok() && !up.ok()) done = std::move(up);
  }
  return done;
}

}  // namespace

Outcome type_strokes(std::span<const std::size_t> keys_per_stroke, TypingPace pace, const StrokeKeySend& send) {
  std::size_t first = 0;
  for (const std::size_t count : keys_per_stroke) {
    ONDREL_CHECK(type_stroke(first, count, pace.held_ms, send));
    ONDREL_CHECK(pause_unless_stopped(pace.gap_ms));
    first += count;
  }
  return Outcome::success();
}

}  // namespace ondrel
