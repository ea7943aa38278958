#pragma once

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "computer/computer_input.h"
#include "computer/key_table.h"

namespace ondrel::computer {

// Pauses of a click, as the devices' mouse holds them: each click is held
// 10 ms, and the clicks of a double or triple click are 50 ms apart, well
// inside every system's double-click time (Windows 500 ms by default, GTK
// and Qt 400 ms) yet long enough for an application to see two presses.
inline constexpr std::uint32_t kClickHeldMs = 10;
inline constexpr std::uint32_t kClickGapMs = 50;
inline constexpr int kMostClicks = 3;

// The most wheel notches one scroll turns on each axis: far beyond any page
// (a notch scrolls three lines), and few enough that every system sends
// them at once.
inline constexpr std::int32_t kMostWheelNotches = 1000;

// The ComputerInput of a system: checks each point against the screen
// before anything moves, keeps the buttons and keys it holds, and lets go of
// what an operation pressed when the operation fails or is stopped (every
// pause asks stop_requested()). Whatever is still held when it goes is let
// go then.
class Computer final : public ComputerInput {
 public:
  explicit Computer(std::unique_ptr<ComputerSystem> system);
  ~Computer() override;
  Computer(const Computer&) = delete;
  Computer& operator=(const Computer&) = delete;

  Expected<Size> screen_size() override;
  Expected<Point> position() override;
  Outcome move_to(Point point) override;
  Outcome button(Button button, bool down) override;
  Outcome click(Button button, int count) override;
  Outcome scroll(std::int32_t dx, std::int32_t dy) override;
  Outcome key(const KeyRow& key, bool down) override;
  // At the default pace.
  Outcome write(std::string_view text) override;
  Outcome write(std::string_view text, TypingPace pace);
  Outcome wait_ms(std::uint32_t milliseconds) override;

  // The pixels of `area` of the screen, or of all of it.
  Expected<screen::RgbImage> capture(std::optional<ScreenArea> area) { return system_->capture(area); }

  // Down at path[0], through each point, up at the last; every point is
  // checked before anything moves.
  Outcome drag(std::span<const Point> path);

  // Lets go of every button and key held; the first failure is the answer.
  Outcome release_all();

  // What is held, to let go of what a sequence of calls pressed should it
  // fail (an action of a vocabulary): each button or key held now and not
  // in `before` gets one more try to go up.
  struct Held {
    std::vector<Button> buttons;
    std::vector<const KeyRow*> keys;
  };
  [[nodiscard]] Held held() const { return {held_buttons_, held_keys_}; }
  void release_pressed_since(const Held& before);

  // Forgets what is held without letting go of it: in a forked child, what
  // is held is the parent's.
  void forget_held() {
    held_buttons_.clear();
    held_keys_.clear();
  }

 private:
  // Runs `operation`; when it fails, lets go of what it pressed.
  template <class Operation>
  Outcome taking_back(Operation&& operation);
  Outcome check_point(Point point);
  Outcome one_click(Button button);

  std::unique_ptr<ComputerSystem> system_;
  std::vector<Button> held_buttons_;  // in the order pressed
  std::vector<const KeyRow*> held_keys_;
};

}  // namespace ondrel::computer
