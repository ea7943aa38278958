#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_value.h"
#include "computer/computer_input.h"

namespace ondrel::computer {

// One member of a JSON object: its decoded name, its value as the reader
// keeps it and its text, so that a nested object can be read in turn.
struct JsonMember {
  std::string name;
  JsonValue value;
  std::string_view text;
};

// The members of the JSON object `text`, which must be the whole text.
// Duplicate names fail; so does anything but an object, described as
// `what` ("an action", "`args`").
Expected<std::vector<JsonMember>> read_object(std::string_view text, std::string_view what);

// The elements of the JSON array `text`, each as value and text (no name);
// false when it is not a whole array.
bool read_array(std::string_view text, std::vector<JsonMember>& out);

// The fields of one action, read on demand with messages that name the
// field, the action and the value given.
class ActionFields {
 public:
  ActionFields(std::vector<JsonMember> members, std::string action)
      : members_(std::move(members)), action_(std::move(action)) {}

  [[nodiscard]] const std::string& action() const { return action_; }
  [[nodiscard]] const JsonMember* find(std::string_view name) const;

  // Fails on the first member not in `names`.
  Outcome allow_only(std::initializer_list<std::string_view> names) const;

  Expected<std::string> string(std::string_view name) const;
  Expected<std::optional<std::string>> optional_string(std::string_view name) const;
  Expected<bool> boolean(std::string_view name, bool fallback) const;
  // An integral number within [min, max]; `fallback` when absent, else required.
  Expected<std::int64_t> integer(std::string_view name, std::int64_t min, std::int64_t max,
                                 std::optional<std::int64_t> fallback = std::nullopt) const;
  // Any number within [min, max].
  Expected<double> number(std::string_view name, double min, double max, std::optional<double> fallback) const;
  // [x, y]: two integers.
  Expected<std::optional<Point>> optional_pair(std::string_view name) const;
  Expected<Point> pair(std::string_view name) const;
  // ["a", "b"]; absent is empty.
  Expected<std::vector<std::string>> strings(std::string_view name) const;
  // [{"x": .., "y": ..}, ...]
  Expected<std::vector<Point>> points(std::string_view name) const;

  Outcome missing(std::string_view name) const;
  Outcome wrong(const JsonMember& member, std::string_view expected) const;

 private:
  std::vector<JsonMember> members_;
  std::string action_;
};

// "`x`, `y` (1300, 20)": how messages name a point given as two fields.
std::string point_text(std::string_view fields, Point point);

}  // namespace ondrel::computer
