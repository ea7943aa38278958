#pragma once

#include <string>
#include <string_view>

#include "json/json_value.h"

namespace ondrel {

// How messages name a value: "boolean `true`", "integer `-5`",
// "floating point `10.0`", "string \"a\\tb\"", "null", "sequence", "map".
std::string describe(const JsonValue& value);

// "string " and the text in double quotes, with the quote, the backslash
// and control characters escaped so that the message stays on one line.
std::string describe_string(std::string_view text);

// "invalid type: {description of value}, expected {expected}".
std::string invalid_type(const JsonValue& value, std::string_view expected);

}  // namespace ondrel
