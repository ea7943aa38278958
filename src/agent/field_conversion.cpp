#include "agent/field_conversion.h"

#include <limits>
#include <string_view>

#include "json/json_reader.h"
#include "json/json_string.h"
#include "agent/value_description.h"

namespace ondrel {
namespace {

template <class Integer>
constexpr std::string_view kIntegerTypeName = "";
template <>
constexpr std::string_view kIntegerTypeName<std::int32_t> = "i32";
template <>
constexpr std::string_view kIntegerTypeName<std::int8_t> = "i8";
template <>
constexpr std::string_view kIntegerTypeName<std::uint8_t> = "u8";

constexpr std::string_view kExpectedString = "a string";
constexpr std::string_view kExpectedSequence = "a sequence";

// `value` is an integer here, so describe() gives "integer `n`".
template <class Integer>
std::string out_of_range(const JsonValue& value) {
  std::string message = "invalid value: ";
  message += describe(value);
  message += ", expected ";
  message += kIntegerTypeName<Integer>;
  return message;
}

template <class Integer>
FieldError convert_integer(const JsonValue& value, Integer& out) {
  using Limits = std::numeric_limits<Integer>;
  if (const auto* n = std::get_if<std::uint64_t>(&value)) {
    if (*n > static_cast<std::uint64_t>(Limits::max())) return out_of_range<Integer>(value);
    out = static_cast<Integer>(*n);
    return std::nullopt;
  }
  if (const auto* n = std::get_if<std::int64_t>(&value)) {
    if (*n < static_cast<std::int64_t>(Limits::min())) return out_of_range<Integer>(value);
    out = static_cast<Integer>(*n);
    return std::nullopt;
  }
  return invalid_type(value, kIntegerTypeName<Integer>);
}

}  // namespace

FieldError convert_field(const JsonValue& value, std::int32_t& out) { return convert_integer(value, out); }
FieldError convert_field(const JsonValue& value, std::int8_t& out) { return convert_integer(value, out); }
FieldError convert_field(const JsonValue& value, std::uint8_t& out) { return convert_integer(value, out); }

FieldError convert_field(const JsonValue& value, std::string& out) {
  const auto* string = std::get_if<JsonString>(&value);
  if (!string) return invalid_type(value, kExpectedString);
  out = decode_string(*string);
  return std::nullopt;
}

FieldError convert_field(const JsonValue& value, std::optional<std::string>& out) {
  if (std::holds_alternative<JsonNull>(value)) {
    out.reset();
    return std::nullopt;
  }
  std::string text;
  if (auto error = convert_field(value, text)) return error;
  out = std::move(text);
  return std::nullopt;
}

// The array was checked when it was buffered, so reading it again cannot
// fail; only its elements' kinds are examined now.
FieldError convert_field(const JsonValue& value, std::vector<std::string>& out) {
  const auto* array = std::get_if<JsonArray>(&value);
  if (!array) return invalid_type(value, kExpectedSequence);
  out.clear();
  JsonReader reader(array->token);
  (void)reader.enter_container();  // at depth 0 of its own
  JsonValue element;
  for (bool first = true; reader.next_element(first) == JsonReader::Next::Item && reader.read_value(element);) {
    if (auto error = convert_field(element, out.emplace_back())) return error;
  }
  return std::nullopt;
}

}  // namespace ondrel
