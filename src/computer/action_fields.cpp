#include "computer/action_fields.h"

#include <cmath>
#include <limits>

#include "json/json_error.h"
#include "json/json_reader.h"
#include "json/json_string.h"
#include "computer/chord.h"

namespace ondrel::computer {
namespace {

constexpr std::int64_t kMinCoordinate = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxCoordinate = std::numeric_limits<std::int32_t>::max();

Outcome syntax_error(const JsonReader& reader, std::string_view text) {
  return Outcome::failure(json_error_message(reader.error(), text));
}

// Reads one value at the reader's position; `text` is left covering it.
bool read_member_value(JsonReader& reader, JsonValue& value, std::string_view& text) {
  (void)reader.peek();  // skips the whitespace before the value
  const std::size_t start = reader.offset();
  if (!reader.read_value(value)) return false;
  text = reader.text().substr(start, reader.offset() - start);
  return true;
}

std::optional<std::int64_t> as_integer(const JsonValue& value) {
  if (const auto* u = std::get_if<std::uint64_t>(&value)) {
    if (*u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
    return static_cast<std::int64_t>(*u);
  }
  if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
  if (const auto* d = std::get_if<double>(&value)) {
    // json.dumps writes 5.0 for a float that a protobuf Struct made of 5.
    if (std::isfinite(*d) && std::floor(*d) == *d && std::fabs(*d) < 9.0e15) return static_cast<std::int64_t>(*d);
  }
  return std::nullopt;
}

std::optional<double> as_number(const JsonValue& value) {
  if (const auto* u = std::get_if<std::uint64_t>(&value)) return static_cast<double>(*u);
  if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&value)) return *d;
  return std::nullopt;
}


std::string format_number(double value) {
  std::string text = std::to_string(value);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

bool read_array(std::string_view array_text, std::vector<JsonMember>& out) {
  JsonReader reader(array_text);
  if (reader.peek() != '[' || !reader.enter_container()) return false;
  for (bool first = true;;) {
    const JsonReader::Next next = reader.next_element(first);
    if (next == JsonReader::Next::Failed) return false;
    if (next == JsonReader::Next::End) return true;
    JsonMember& element = out.emplace_back();
    if (!read_member_value(reader, element.value, element.text)) return false;
  }
}

std::string point_text(std::string_view fields, Point point) {
  return std::string(fields) + " (" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

Expected<std::vector<JsonMember>> read_object(std::string_view text, std::string_view what) {
  JsonReader reader(text);
  if (reader.peek() != '{') {
    JsonValue value;
    std::string_view value_text;
    if (!read_member_value(reader, value, value_text) || !reader.expect_end()) return syntax_error(reader, text);
    return Outcome::failure(std::string(what) + " must be a JSON object, got " + quoted(value_text));
  }
  if (!reader.enter_container()) return syntax_error(reader, text);
  std::vector<JsonMember> members;
  JsonString name;
  for (bool first = true;;) {
    const JsonReader::Next next = reader.next_member(first, name);
    if (next == JsonReader::Next::Failed) return syntax_error(reader, text);
    if (next == JsonReader::Next::End) break;
    JsonMember member{decode_string(name), JsonNull{}, {}};
    if (!reader.read_colon() || !read_member_value(reader, member.value, member.text)) {
      return syntax_error(reader, text);
    }
    for (const JsonMember& earlier : members) {
      if (earlier.name == member.name) {
        return Outcome::failure("duplicate field " + quoted(member.name) + " in " + std::string(what));
      }
    }
    members.push_back(std::move(member));
  }
  reader.leave_container();
  if (!reader.expect_end()) return syntax_error(reader, text);
  return members;
}

const JsonMember* ActionFields::find(std::string_view name) const {
  for (const JsonMember& member : members_) {
    if (member.name == name) return &member;
  }
  return nullptr;
}

Outcome ActionFields::missing(std::string_view name) const {
  return Outcome::failure(quoted(name) + " is required for " + quoted(action_));
}

Outcome ActionFields::wrong(const JsonMember& member, std::string_view expected) const {
  return Outcome::failure(quoted(member.name) + " of " + quoted(action_) + " must be " + std::string(expected) +
                          ", got " + quoted(member.text));
}

Outcome ActionFields::allow_only(std::initializer_list<std::string_view> names) const {
  for (const JsonMember& member : members_) {
    bool known = false;
    for (const std::string_view name : names) known = known || member.name == name;
    if (!known) return Outcome::failure(quoted(member.name) + " is not a field of " + quoted(action_));
  }
  return Outcome::success();
}

Expected<std::optional<std::string>> ActionFields::optional_string(std::string_view name) const {
  const JsonMember* member = find(name);
  if (!member) return std::optional<std::string>();
  const auto* string = std::get_if<JsonString>(&member->value);
  if (!string) return wrong(*member, "a string");
  return std::optional<std::string>(decode_string(*string));
}

Expected<std::string> ActionFields::string(std::string_view name) const {
  Expected<std::optional<std::string>> text = optional_string(name);
  if (!text.ok()) return text.outcome();
  if (!text.value()) return missing(name);
  return *text.value();
}

Expected<bool> ActionFields::boolean(std::string_view name, bool fallback) const {
  const JsonMember* member = find(name);
  if (!member) return fallback;
  const auto* value = std::get_if<bool>(&member->value);
  if (!value) return wrong(*member, "true or false");
  return *value;
}

Expected<std::int64_t> ActionFields::integer(std::string_view name, std::int64_t min, std::int64_t max,
                                             std::optional<std::int64_t> fallback) const {
  const JsonMember* member = find(name);
  if (!member) {
    if (fallback) return *fallback;
    return missing(name);
  }
  const std::optional<std::int64_t> value = as_integer(member->value);
  if (!value || *value < min || *value > max) {
    return wrong(*member, "an integer from " + std::to_string(min) + " to " + std::to_string(max));
  }
  return *value;
}

Expected<double> ActionFields::number(std::string_view name, double min, double max,
                                      std::optional<double> fallback) const {
  const JsonMember* member = find(name);
  if (!member) {
    if (fallback) return *fallback;
    return missing(name);
  }
  const std::optional<double> value = as_number(member->value);
  if (!value || !(*value >= min && *value <= max)) {
    return wrong(*member, "a number from " + format_number(min) + " to " + format_number(max));
  }
  return *value;
}

Expected<std::optional<Point>> ActionFields::optional_pair(std::string_view name) const {
  const JsonMember* member = find(name);
  if (!member) return std::optional<Point>();
  std::vector<JsonMember> elements;
  constexpr std::string_view kExpected = "[x, y], two integers";
  if (!std::holds_alternative<JsonArray>(member->value) || !read_array(member->text, elements) ||
      elements.size() != 2) {
    return wrong(*member, kExpected);
  }
  const std::optional<std::int64_t> x = as_integer(elements[0].value);
  const std::optional<std::int64_t> y = as_integer(elements[1].value);
  if (!x || !y || *x < kMinCoordinate || *x > kMaxCoordinate || *y < kMinCoordinate || *y > kMaxCoordinate) {
    return wrong(*member, kExpected);
  }
  return std::optional<Point>(Point{static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y)});
}

Expected<Point> ActionFields::pair(std::string_view name) const {
  Expected<std::optional<Point>> point = optional_pair(name);
  if (!point.ok()) return point.outcome();
  if (!point.value()) return missing(name);
  return *point.value();
}

Expected<std::vector<std::string>> ActionFields::strings(std::string_view name) const {
  const JsonMember* member = find(name);
  if (!member) return missing(name);
  std::vector<JsonMember> elements;
  if (!std::holds_alternative<JsonArray>(member->value) || !read_array(member->text, elements)) {
    return wrong(*member, "a list of strings");
  }
  std::vector<std::string> out;
  for (const JsonMember& element : elements) {
    const auto* string = std::get_if<JsonString>(&element.value);
    if (!string) return wrong(*member, "a list of strings");
    out.push_back(decode_string(*string));
  }
  return out;
}

Expected<std::vector<Point>> ActionFields::points(std::string_view name) const {
  const JsonMember* member = find(name);
  if (!member) return missing(name);
  constexpr std::string_view kExpected = "a list of {\"x\": x, \"y\": y} points";
  std::vector<JsonMember> elements;
  if (!std::holds_alternative<JsonArray>(member->value) || !read_array(member->text, elements)) {
    return wrong(*member, kExpected);
  }
  std::vector<Point> out;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const std::string label = quoted(std::string(name) + "[" + std::to_string(i) + "]");
    Expected<std::vector<JsonMember>> fields = read_object(elements[i].text, label);
    if (!fields.ok()) return fields.outcome();
    const ActionFields point(fields.value(), action_);
    if (Outcome known = point.allow_only({"x", "y"}); !known.ok()) return Outcome::failure(label + ": " + known.error());
    Expected<std::int64_t> x = point.integer("x", kMinCoordinate, kMaxCoordinate);
    if (!x.ok()) return Outcome::failure(label + ": " + x.outcome().error());
    Expected<std::int64_t> y = point.integer("y", kMinCoordinate, kMaxCoordinate);
    if (!y.ok()) return Outcome::failure(label + ": " + y.outcome().error());
    out.push_back(Point{static_cast<std::int32_t>(x.value()), static_cast<std::int32_t>(y.value())});
  }
  return out;
}

}  // namespace ondrel::computer
