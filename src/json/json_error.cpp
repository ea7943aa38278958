#include "json/json_error.h"

#include <algorithm>
#include <array>

namespace ondrel {
namespace {

// In the order of JsonErrorCode.
constexpr std::array<std::string_view, kJsonErrorCodeCount> kErrorText = {
    "EOF while parsing a list",
    "EOF while parsing an object",
    "EOF while parsing a string",
    "EOF while parsing a value",
    "expected `:`",
    "expected `,` or `]`",
    "expected `,` or `}`",
    "expected ident",
    "expected value",
    "invalid escape",
    "invalid number",
    "number out of range",
    "invalid unicode code point",
    "control character (\\u0000-\\u001F) found while parsing a string",
    "key must be a string",
    "lone leading surrogate in hex escape",
    "trailing comma",
    "trailing characters",
    "unexpected end of hex escape",
    "recursion limit exceeded",
};
static_assert(static_cast<std::size_t>(JsonErrorCode::RecursionLimitExceeded) + 1 == kJsonErrorCodeCount);

}  // namespace

std::string_view json_error_text(JsonErrorCode code) { return kErrorText[static_cast<std::size_t>(code)]; }

TextPosition text_position(std::string_view text, std::size_t offset) {
  const std::string_view before = text.substr(0, offset);
  const std::size_t last_newline = before.rfind('\n');
  const auto line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
  const std::size_t column = last_newline == std::string_view::npos ? before.size() : before.size() - last_newline - 1;
  return {line, column};
}

std::string with_position(std::string message, std::string_view text, std::size_t offset) {
  const TextPosition position = text_position(text, offset);
  message += " at line ";
  message += std::to_string(position.line);
  message += " column ";
  message += std::to_string(position.column);
  return message;
}

std::string json_error_message(const JsonError& error, std::string_view text) {
  return with_position(std::string(json_error_text(error.code)), text, error.offset);
}

}  // namespace ondrel
