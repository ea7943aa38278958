#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "json/json_error.h"
#include "json/json_value.h"

namespace ondrel {

// A reader over a byte range that keeps only an offset. Each call reads one
// piece of JSON; a failed call returns false (or Next::Failed) and leaves the
// syntax error in error(). The action decoder walks the top level with the
// container calls below and reads every value inside with read_value.
class JsonReader {
 public:
  // Arrays and objects nest at most this deep; opening one more level fails.
  static constexpr int kMaxDepth = 127;

  explicit JsonReader(std::string_view text) : text_(text) {}

  // One value, then nothing but whitespace.
  static std::optional<JsonError> check_document(std::string_view text);

  [[nodiscard]] std::string_view text() const { return text_; }
  [[nodiscard]] std::size_t offset() const { return pos_; }
  [[nodiscard]] const JsonError& error() const { return error_; }

  // Skips whitespace; the next byte, or nothing at the end of the text.
  std::optional<char> peek();

  // Any value; arrays and objects are read to their end but not kept.
  [[nodiscard]] bool read_value(JsonValue& value);

  // The nesting limit is checked here; the reader must stand on '[' or '{'.
  [[nodiscard]] bool enter_container();
  // Consumes the ']' or '}' that next_element or next_member reported.
  void leave_container();

  enum class Next { Item, End, Failed };

  // Inside an array: positions the reader at the next element (Item) or at
  // the closing bracket (End), consuming the separating comma.
  [[nodiscard]] Next next_element(bool& first);
  // Inside an object: reads the next member's name (Item) or stops at the
  // closing brace (End). read_colon follows an Item.
  [[nodiscard]] Next next_member(bool& first, JsonString& name);
  [[nodiscard]] bool read_colon();

  // Only whitespace may follow the top-level value.
  [[nodiscard]] bool expect_end();

 private:
  [[nodiscard]] bool read_literal(std::string_view rest);
  [[nodiscard]] bool read_array(JsonValue& value);
  [[nodiscard]] bool read_object(JsonValue& value);
  // True when `error` is empty; otherwise records it.
  [[nodiscard]] bool passed(std::optional<JsonError> error);
  [[nodiscard]] bool fail(JsonErrorCode code, std::size_t offset);
  // Most errors point just past the byte that was looked at.
  [[nodiscard]] bool fail_at_peeked(JsonErrorCode code);
  [[nodiscard]] bool fail_at_end(JsonErrorCode code);
  [[nodiscard]] Next stop(JsonErrorCode code, std::size_t offset);

  std::string_view text_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  JsonError error_{JsonErrorCode::EofWhileParsingValue, 0};
};

}  // namespace ondrel
