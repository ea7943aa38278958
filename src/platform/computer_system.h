#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "devices/outcome.h"
#include "platform/input_change.h"
#include "platform/typing_pace.h"
#include "screen/image.h"

namespace ondrel {

// The pointer at a point and keys by name, as a system takes them: what
// ondrel_computer's Computer is built on. A point is in physical pixels of
// the screen the pointer moves on.

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const Size&) const = default;
};

// A rectangle of screen pixels.
struct ScreenArea {
  Point origin;
  Size size;
  bool operator==(const ScreenArea&) const = default;
};

using Button = PointerButton;

// One key in each system's own terms, from the computer layer's key table.
struct SystemKey {
  std::uint32_t keysym;       // X
  std::uint16_t virtual_key;  // Windows
  std::uint16_t scan_code;    // Windows, set 1
  bool extended;              // Windows: the scan code is E0-prefixed
  std::uint16_t evdev;        // Linux input code
};

// A system's pointer and keyboard. Each call either did what it says or
// failed with a text that names the cause; what a failed call may have left
// held is the caller's to let go (it knows what it pressed).
class ComputerSystem {
 public:
  virtual ~ComputerSystem() = default;
  virtual Expected<Size> screen_size() = 0;
  virtual Expected<Point> position() = 0;
  // `point` is on the screen: the caller checked it.
  virtual Outcome move_to(Point point) = 0;
  virtual Outcome button(Button button, bool down) = 0;
  // Wheel notches: dy > 0 scrolls down, dx > 0 right.
  virtual Outcome wheel(std::int32_t dx, std::int32_t dy) = 0;
  virtual Outcome key(const SystemKey& key, bool down) = 0;
  // UTF-8 text on the layout in use, at `pace`; a text the system cannot
  // type fails before anything is sent.
  virtual Outcome write(std::string_view text, TypingPace pace) = 0;
  // The pixels of `area` (the caller checked it against screen_size()), or
  // of the whole screen at its size now; the systems that cannot see the
  // screen say so.
  virtual Expected<screen::RgbImage> capture(std::optional<ScreenArea> area) {
    (void)area;
    return Outcome::failure("this system cannot capture the screen");
  }
};

// The system a new Computer drives, chosen as the devices' is (ONDREL_INPUT,
// DISPLAY, WAYLAND_DISPLAY; the test recorder while it is started).
// `screen_size` is required where the system cannot tell it (uinput).
Expected<std::unique_ptr<ComputerSystem>> open_computer_system(std::optional<Size> screen_size);

}  // namespace ondrel
