#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "json/json_error.h"
#include "json/json_value.h"

namespace ondrel {

// Reads a string whose opening quote is at text[pos]. On success `pos` is just
// past the closing quote and `out` covers the token. Escapes are checked
// (surrogates must pair up) and so is the UTF-8 of the raw bytes.
std::optional<JsonError> read_string(std::string_view text, std::size_t& pos, JsonString& out);

// The text a string token stands for, escapes resolved.
std::string decode_string(const JsonString& string);
void append_decoded_string(const JsonString& string, std::string& out);

bool string_equals(const JsonString& string, std::string_view expected);

// Appends the UTF-8 encoding of a Unicode scalar value.
void append_utf8(char32_t code_point, std::string& out);

}  // namespace ondrel
