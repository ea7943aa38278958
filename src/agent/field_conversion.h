#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "json/json_value.h"

namespace ondrel {

// Converts a buffered value into an action field of the matching C++ type.
// Nothing on success; otherwise the message, which has no position because
// the value was read earlier.
using FieldError = std::optional<std::string>;

FieldError convert_field(const JsonValue& value, std::int32_t& out);
FieldError convert_field(const JsonValue& value, std::int8_t& out);
FieldError convert_field(const JsonValue& value, std::uint8_t& out);
FieldError convert_field(const JsonValue& value, std::string& out);
FieldError convert_field(const JsonValue& value, std::optional<std::string>& out);
FieldError convert_field(const JsonValue& value, std::vector<std::string>& out);

}  // namespace ondrel
