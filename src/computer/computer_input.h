#pragma once

#include <cstdint>
#include <string_view>

#include "devices/outcome.h"
#include "platform/computer_system.h"

namespace ondrel::computer {

using ondrel::Button;
using ondrel::Expected;
using ondrel::Outcome;
using ondrel::Point;
using ondrel::Size;

struct KeyRow;  // one key of the computer layer's key table (key_table.h)

// What the computer-use vocabularies drive: the pointer at a point and keys
// and text, on the system the Computer was created for. Each call either
// does all it says or fails having taken back what it pressed.
class ComputerInput {
 public:
  virtual ~ComputerInput() = default;
  virtual Expected<Size> screen_size() = 0;
  virtual Expected<Point> position() = 0;
  // Checks the point against the screen first: a point outside fails and nothing moves.
  virtual Outcome move_to(Point point) = 0;
  virtual Outcome button(Button button, bool down) = 0;
  // `count` clicks where the pointer is (1 to 3), each held 10 ms.
  virtual Outcome click(Button button, int count) = 0;
  // Wheel notches: dy > 0 scrolls down, dx > 0 right; beyond 1000 on an
  // axis fails before anything is sent.
  virtual Outcome scroll(std::int32_t dx, std::int32_t dy) = 0;
  virtual Outcome key(const KeyRow& key, bool down) = 0;
  // UTF-8 text typed on the layout in use ("\n", "\r\n" and "\r" an Enter, "\t" Tab); a text that cannot be
  // typed (another control character among them) fails before anything is sent.
  virtual Outcome write(std::string_view text) = 0;
  // Waits without holding up other threads; Ctrl-C ends it with a failure.
  virtual Outcome wait_ms(std::uint32_t milliseconds) = 0;
};

}  // namespace ondrel::computer
