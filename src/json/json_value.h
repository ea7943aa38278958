#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

namespace ondrel {

// A string as it stands in the text, quotes included. Decoding it (see
// json_string.h) is left until a field needs the text.
struct JsonString {
  std::string_view token;
  bool has_escapes = false;

  [[nodiscard]] std::string_view contents() const { return token.substr(1, token.size() - 2); }
};

struct JsonNull {};

// An array's full text, brackets included, so that a field can read its
// elements again once it knows it wants them.
struct JsonArray {
  std::string_view token;
};

struct JsonObject {};

// One value as the first pass keeps it. Integers are std::uint64_t when not
// negative and std::int64_t when negative; every other number is a double.
using JsonValue =
    std::variant<JsonNull, bool, std::uint64_t, std::int64_t, double, JsonString, JsonArray, JsonObject>;

}  // namespace ondrel
