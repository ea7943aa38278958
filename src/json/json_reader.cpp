#include "json/json_reader.h"

#include "json/json_number.h"
#include "json/json_string.h"

namespace ondrel {
namespace {

bool is_whitespace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }

}  // namespace

std::optional<JsonError> JsonReader::check_document(std::string_view text) {
  JsonReader reader(text);
  JsonValue value;
  if (reader.read_value(value) && reader.expect_end()) return std::nullopt;
  return reader.error();
}

std::optional<char> JsonReader::peek() {
  while (pos_ < text_.size() && is_whitespace(text_[pos_])) ++pos_;
  if (pos_ == text_.size()) return std::nullopt;
  return text_[pos_];
}

bool JsonReader::read_value(JsonValue& value) {
  const std::optional<char> next = peek();
  if (!next) return fail_at_end(JsonErrorCode::EofWhileParsingValue);
  switch (*next) {
    case 'n':
      value = JsonNull{};
      return read_literal("null");
    case 't':
      value = true;
      return read_literal("true");
    case 'f':
      value = false;
      return read_literal("false");
    case '"': {
      JsonString string;
      if (!passed(read_string(text_, pos_, string))) return false;
      value = string;
      return true;
    }
    case '[':
      return read_array(value);
    case '{':
      return read_object(value);
    default:
      if (*next == '-' || (*next >= '0' && *next <= '9')) return passed(read_number(text_, pos_, value));
      return fail_at_peeked(JsonErrorCode::ExpectedSomeValue);
  }
}

bool JsonReader::read_literal(std::string_view literal) {
  ++pos_;  // the first letter, already seen
  for (const char expected : literal.substr(1)) {
    if (pos_ == text_.size()) return fail_at_end(JsonErrorCode::EofWhileParsingValue);
    if (text_[pos_++] != expected) return fail(JsonErrorCode::ExpectedSomeIdent, pos_);
  }
  return true;
}

bool JsonReader::read_array(JsonValue& value) {
  const std::size_t start = pos_;
  if (!enter_container()) return false;
  JsonValue element;
  for (bool first = true;;) {
    switch (next_element(first)) {
      case Next::Failed:
        return false;
      case Next::End:
        leave_container();
        value = JsonArray{text_.substr(start, pos_ - start)};
        return true;
      case Next::Item:
        if (!read_value(element)) return false;
    }
  }
}

bool JsonReader::read_object(JsonValue& value) {
  if (!enter_container()) return false;
  JsonString name;
  JsonValue member;
  for (bool first = true;;) {
    switch (next_member(first, name)) {
      case Next::Failed:
        return false;
      case Next::End:
        leave_container();
        value = JsonObject{};
        return true;
      case Next::Item:
        if (!read_colon() || !read_value(member)) return false;
    }
  }
}

bool JsonReader::enter_container() {
  if (depth_ == kMaxDepth) return fail_at_peeked(JsonErrorCode::RecursionLimitExceeded);
  ++depth_;
  ++pos_;
  return true;
}

void JsonReader::leave_container() {
  --depth_;
  ++pos_;
}

JsonReader::Next JsonReader::next_element(bool& first) {
  std::optional<char> next = peek();
  if (!next) return stop(JsonErrorCode::EofWhileParsingList, text_.size());
  if (*next == ']') return Next::End;
  if (first) {
    first = false;
    return Next::Item;
  }
  if (*next != ',') return stop(JsonErrorCode::ExpectedListCommaOrEnd, pos_ + 1);
  ++pos_;
  next = peek();
  if (!next) return stop(JsonErrorCode::EofWhileParsingValue, text_.size());
  if (*next == ']') return stop(JsonErrorCode::TrailingComma, pos_ + 1);
  return Next::Item;
}

JsonReader::Next JsonReader::next_member(bool& first, JsonString& name) {
  std::optional<char> next = peek();
  if (!next) return stop(JsonErrorCode::EofWhileParsingObject, text_.size());
  if (*next == '}') return Next::End;
  if (first) {
    first = false;
  } else if (*next == ',') {
    ++pos_;
    next = peek();
  } else {
    return stop(JsonErrorCode::ExpectedObjectCommaOrEnd, pos_ + 1);
  }
  if (!next) return stop(JsonErrorCode::EofWhileParsingValue, text_.size());
  if (*next == '}') return stop(JsonErrorCode::TrailingComma, pos_ + 1);
  if (*next != '"') return stop(JsonErrorCode::KeyMustBeAString, pos_ + 1);
  return passed(read_string(text_, pos_, name)) ? Next::Item : Next::Failed;
}

bool JsonReader::read_colon() {
  const std::optional<char> next = peek();
  if (!next) return fail_at_end(JsonErrorCode::EofWhileParsingObject);
  if (*next != ':') return fail_at_peeked(JsonErrorCode::ExpectedColon);
  ++pos_;
  return true;
}

bool JsonReader::expect_end() {
  if (peek()) return fail_at_peeked(JsonErrorCode::TrailingCharacters);
  return true;
}

bool JsonReader::passed(std::optional<JsonError> error) {
  if (!error) return true;
  error_ = *error;
  return false;
}

bool JsonReader::fail(JsonErrorCode code, std::size_t offset) {
  error_ = {code, offset};
  return false;
}

bool JsonReader::fail_at_peeked(JsonErrorCode code) { return fail(code, pos_ + 1); }

bool JsonReader::fail_at_end(JsonErrorCode code) { return fail(code, text_.size()); }

JsonReader::Next JsonReader::stop(JsonErrorCode code, std::size_t offset) {
  error_ = {code, offset};
  return Next::Failed;
}

}  // namespace ondrel
