#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace ondrel {

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
  // Moves the value out (for values that only move, such as unique_ptr).
  [[nodiscard]] T take() { return std::move(std::get<0>(state_)); }
  [[nodiscard]] const std::string& error() const { return std::get<1>(state_); }
  [[nodiscard]] Outcome outcome() const { return ok() ? Outcome::success() : Outcome::failure(std::get<1>(state_)); }

 private:
  std::variant<T, std::string> state_;
};

// Returns from the calling function when `expr`, an Outcome, failed.
#define ONDREL_CHECK(expr)                                        \
  do {                                                            \
    if (auto ondrel_outcome_ = (expr); !ondrel_outcome_.ok()) \
      return ondrel_outcome_;                                     \
  } while (false)

}  // namespace ondrel
