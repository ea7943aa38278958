#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "json/json_error.h"
#include "json/json_value.h"

namespace ondrel {

// Reads a number that starts at text[pos] ('-' or a digit). On success `pos`
// is just past it and `out` holds a std::uint64_t, a std::int64_t or a
// double: integers are numbers without fraction or exponent within the 64-bit
// ranges, except -0; everything else is a double. Magnitudes beyond the
// double range fail with NumberOutOfRange; tiny ones become zero.
std::optional<JsonError> read_number(std::string_view text, std::size_t& pos, JsonValue& out);

// The shortest decimal text that reads back as `value`, integral values
// keeping ".0": 10.0 -> "10.0", 1.5 -> "1.5", 1e300 -> "1e300", -0.0 -> "-0.0".
std::string format_shortest(double value);

}  // namespace ondrel
