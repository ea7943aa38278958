#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ondrel {

// Every way in which a text can fail to be JSON. The texts are in
// json_error.cpp, one per code.
enum class JsonErrorCode : std::uint8_t {
  EofWhileParsingList,
  EofWhileParsingObject,
  EofWhileParsingString,
  EofWhileParsingValue,
  ExpectedColon,
  ExpectedListCommaOrEnd,
  ExpectedObjectCommaOrEnd,
  ExpectedSomeIdent,
  ExpectedSomeValue,
  InvalidEscape,
  InvalidNumber,
  NumberOutOfRange,
  InvalidUnicodeCodePoint,
  ControlCharacterWhileParsingString,
  KeyMustBeAString,
  LoneLeadingSurrogateInHexEscape,
  TrailingComma,
  TrailingCharacters,
  UnexpectedEndOfHexEscape,
  RecursionLimitExceeded,
};

inline constexpr std::size_t kJsonErrorCodeCount = 20;

// A syntax error and the byte offset of its point of failure.
struct JsonError {
  JsonErrorCode code;
  std::size_t offset;

  friend bool operator==(const JsonError&, const JsonError&) = default;
};

std::string_view json_error_text(JsonErrorCode code);

// 1-based line, 0-based byte column, as reported in messages.
struct TextPosition {
  std::size_t line;
  std::size_t column;

  friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

TextPosition text_position(std::string_view text, std::size_t offset);

// `message` followed by " at line L column C" for `offset` in `text`: the
// only place that writes a position.
std::string with_position(std::string message, std::string_view text, std::size_t offset);

std::string json_error_message(const JsonError& error, std::string_view text);

}  // namespace ondrel
