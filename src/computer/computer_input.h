#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace ondrel::computer {

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

enum class Button : std::uint8_t { left, right, middle, back, forward };

struct KeyRow;  // one key of the computer layer's key table (key_table.h)

// Success, or the text of what failed, as the caller will read it.
class [[nodiscard]] Outcome {
 public:
  Outcome() = default;
  static Outcome success() { return {}; }
  static Outcome failure(std::string text) { return Outcome(std::move(text)); }
  [[nodiscard]] bool ok() const { return !error_.has_value(); }
  [[nodiscard]] const std::string& error() const { return *error_; }

 private:
  explicit Outcome(std::string text) : error_(std::move(text)) {}
  std::optional<std::string> error_;
};

// A value, or the text of what failed.
template <class T>
class [[nodiscard]] Expected {
 public:
  // By index, so that Expected<std::string> is a value or a failure too.
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  Expected(Outcome failed) : state_(std::in_place_index<1>, failed.error()) {}  // NOLINT: from a failed Outcome only
  [[nodiscard]] bool ok() const { return state_.index() == 0; }
  [[nodiscard]] const T& value() const { return std::get<0>(state_); }
  [[nodiscard]] Outcome outcome() const { return ok() ? Outcome::success() : Outcome::failure(std::get<1>(state_)); }

 private:
  std::variant<T, std::string> state_;
};

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
  // Wheel notches: dy > 0 scrolls down, dx > 0 right.
  virtual Outcome scroll(std::int32_t dx, std::int32_t dy) = 0;
  virtual Outcome key(const KeyRow& key, bool down) = 0;
  // UTF-8 text typed on the layout in use; a text that cannot be typed fails before anything is sent.
  virtual Outcome write(std::string_view text) = 0;
  // Waits without holding up other threads; Ctrl-C ends it with a failure.
  virtual Outcome wait_ms(std::uint32_t milliseconds) = 0;
};

}  // namespace ondrel::computer
