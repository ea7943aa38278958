#include "computer/computer.h"

#include <algorithm>

#include "computer/coordinates.h"
#include "computer/pointer_steps.h"
#include "computer/typed_text.h"
#include "platform/stoppable_pause.h"

namespace ondrel::computer {
namespace {

SystemKey system_key(const KeyRow& row) {
  const PhysicalKey& key = row.key();
  return SystemKey{key.keysym, key.virtual_key, key.scan_code, key.extended, key.evdev};
}

template <class T>
void note_held(std::vector<T>& held, T item, bool down) {
  const auto found = std::find(held.begin(), held.end(), item);
  if (down && found == held.end()) held.push_back(item);
  if (!down && found != held.end()) held.erase(found);
}

std::string point_text(Point point) {
  return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

}  // namespace

Computer::Computer(std::unique_ptr<ComputerSystem> system) : system_(std::move(system)) {}

Computer::~Computer() { (void)release_all(); }

Expected<Size> Computer::screen_size() { return system_->screen_size(); }

Expected<Point> Computer::position() { return system_->position(); }

Outcome Computer::check_point(Point point) {
  const Expected<Size> screen = system_->screen_size();
  if (!screen.ok()) return screen.outcome();
  const Size size = screen.value();
  if (point.x < 0 || point.y < 0 || point.x >= size.width || point.y >= size.height)
    return Outcome::failure("point " + point_text(point) + " is outside the screen (" + size_text(size) + ")");
  return Outcome::success();
}

Outcome Computer::move_to(Point point) {
  ONDREL_CHECK(check_point(point));
  return system_->move_to(point);
}

// A button whose press failed is not held: the system took no event.
Outcome Computer::button(Button which, bool down) {
  ONDREL_CHECK(system_->button(which, down));
  note_held(held_buttons_, which, down);
  return Outcome::success();
}

template <class Operation>
Outcome Computer::taking_back(Operation&& operation) {
  const Held before = held();
  Outcome done = operation();
  if (!done.ok()) release_pressed_since(before);
  return done;
}

void Computer::release_pressed_since(const Held& before) {
  const auto pressed_since = [](const auto& item, const auto& earlier) {
    return std::find(earlier.begin(), earlier.end(), item) == earlier.end();
  };
  const std::vector<const KeyRow*> keys = held_keys_;  // copies: letting go edits the lists
  for (auto row = keys.rbegin(); row != keys.rend(); ++row)
    if (pressed_since(*row, before.keys)) (void)key(**row, false);
  const std::vector<Button> buttons = held_buttons_;
  for (auto which = buttons.rbegin(); which != buttons.rend(); ++which)
    if (pressed_since(*which, before.buttons)) (void)button(*which, false);
}

Outcome Computer::one_click(Button which) {
  ONDREL_CHECK(button(which, true));
  Outcome held = pause_unless_stopped(kClickHeldMs);
  Outcome up = button(which, false);
  return held.ok() ? up : held;
}

Outcome Computer::click(Button which, int count) {
  if (count < 1 || count > kMostClicks)
    return Outcome::failure("a click counts 1 to " + std::to_string(kMostClicks) + " presses, not " +
                            std::to_string(count));
  return taking_back([&] {
    for (int i = 0; i < count; ++i) {
      if (i > 0) ONDREL_CHECK(pause_unless_stopped(kClickGapMs));
      ONDREL_CHECK(one_click(which));
    }
    return Outcome::success();
  });
}

Outcome Computer::scroll(std::int32_t dx, std::int32_t dy) {
  for (const std::int32_t notches : {dy, dx})
    if (notches < -kMostWheelNotches || notches > kMostWheelNotches)
      return Outcome::failure("a wheel turn of " + std::to_string(notches) + " notches is beyond the limit of " +
                              std::to_string(kMostWheelNotches) + " on each axis");
  return system_->wheel(dx, dy);
}

Outcome Computer::key(const KeyRow& row, bool down) {
  ONDREL_CHECK(system_->key(system_key(row), down));
  note_held(held_keys_, &row, down);
  return Outcome::success();
}

Outcome Computer::write(std::string_view text) { return write(text, kDefaultTypingPace); }

Outcome Computer::write(std::string_view text, TypingPace pace) {
  const Expected<std::string> typed = typeable_text(text);
  if (!typed.ok()) return typed.outcome();
  return system_->write(typed.value(), pace);
}

Outcome Computer::wait_ms(std::uint32_t milliseconds) { return pause_unless_stopped(milliseconds); }

Outcome Computer::drag(std::span<const Point> path) {
  for (const Point point : path) ONDREL_CHECK(check_point(point));
  return taking_back([&] { return drag_along(*this, path, Chord{}); });
}

Outcome Computer::release_all() {
  Outcome first = Outcome::success();
  const auto keep_first = [&](Outcome outcome) {
    if (first.ok() && !outcome.ok()) first = std::move(outcome);
  };
  const std::vector<const KeyRow*> keys = held_keys_;  // copies: letting go edits the lists
  for (auto row = keys.rbegin(); row != keys.rend(); ++row) keep_first(key(**row, false));
  const std::vector<Button> buttons = held_buttons_;
  for (auto which = buttons.rbegin(); which != buttons.rend(); ++which) keep_first(button(*which, false));
  return first;
}

}  // namespace ondrel::computer
