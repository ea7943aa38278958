#include "json/json_number.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace ondrel {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The parts of a number's text, found while its syntax is checked.
struct NumberText {
  std::size_t start = 0;           // the '-' or first digit
  bool negative = false;
  std::uint64_t significand = 0;   // the integer part, if it fits
  bool significand_fits = true;
  bool integral = true;            // no fraction, no exponent
  bool nonzero_digit = false;      // any non-zero digit before the exponent
  std::int64_t leading_magnitude = 0;  // decimal exponent of the first non-zero digit, before the exponent
  std::int32_t exponent = 0;
};

class NumberReader {
 public:
  NumberReader(std::string_view text, std::size_t& pos) : text_(text), pos_(pos) {}

  std::optional<JsonError> read(JsonValue& out);

 private:
  std::optional<JsonError> read_integer_part();
  std::optional<JsonError> read_fraction();
  std::optional<JsonError> read_exponent(bool& saturated);
  std::optional<JsonError> read_floating(JsonValue& out) const;

  [[nodiscard]] bool peek_is(char c) const { return pos_ < text_.size() && text_[pos_] == c; }
  [[nodiscard]] bool peek_is_digit() const { return pos_ < text_.size() && is_digit(text_[pos_]); }
  [[nodiscard]] JsonError error_here(JsonErrorCode code) const { return {code, pos_}; }
  [[nodiscard]] JsonError error_after_peek(JsonErrorCode code) const { return {code, pos_ + 1}; }
  [[nodiscard]] JsonError eof() const { return {JsonErrorCode::EofWhileParsingValue, text_.size()}; }

  std::string_view text_;
  std::size_t& pos_;
  NumberText number_;
};

std::optional<JsonError> NumberReader::read(JsonValue& out) {
  number_.start = pos_;
  number_.negative = peek_is('-');
  if (number_.negative) ++pos_;
  if (auto error = read_integer_part()) return error;
  if (peek_is('.')) {
    if (auto error = read_fraction()) return error;
  }
  if (peek_is('e') || peek_is('E')) {
    bool saturated = false;
    if (auto error = read_exponent(saturated)) return error;
    if (saturated) {  // an exponent beyond 32 bits that makes the value vanish
      out = number_.negative ? -0.0 : 0.0;
      return std::nullopt;
    }
  }
  if (!number_.integral || !number_.significand_fits) return read_floating(out);
  if (!number_.negative) {
    out = number_.significand;
  } else if (number_.significand == 0) {
    out = -0.0;
  } else if (number_.significand <= std::uint64_t{1} << 63) {
    out = static_cast<std::int64_t>(0 - number_.significand);  // modular: 2^63 gives INT64_MIN
  } else {
    return read_floating(out);
  }
  return std::nullopt;
}

std::optional<JsonError> NumberReader::read_integer_part() {
  if (pos_ == text_.size()) return eof();
  const char first = text_[pos_++];
  if (first == '0') {
    if (peek_is_digit()) return error_after_peek(JsonErrorCode::InvalidNumber);
    return std::nullopt;
  }
  if (!is_digit(first)) return error_here(JsonErrorCode::InvalidNumber);
  number_.nonzero_digit = true;
  number_.significand = static_cast<std::uint64_t>(first - '0');
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  while (peek_is_digit()) {
    const auto digit = static_cast<std::uint64_t>(text_[pos_++] - '0');
    ++number_.leading_magnitude;
    if (number_.significand > (kMax - digit) / 10) number_.significand_fits = false;
    if (number_.significand_fits) number_.significand = number_.significand * 10 + digit;
  }
  return std::nullopt;
}

std::optional<JsonError> NumberReader::read_fraction() {
  number_.integral = false;
  ++pos_;  // '.'
  const std::size_t digits_start = pos_;
  std::int64_t magnitude = 0;
  while (peek_is_digit()) {
    --magnitude;
    if (!number_.nonzero_digit && text_[pos_] != '0') {
      number_.nonzero_digit = true;
      number_.leading_magnitude = magnitude;
    }
    ++pos_;
  }
  if (pos_ == digits_start) {
    return pos_ < text_.size() ? error_after_peek(JsonErrorCode::InvalidNumber) : eof();
  }
  return std::nullopt;
}

// An exponent that does not fit 32 bits is out of range when it is positive
// and the digits are not all zero (reported at the digit where it stopped
// fitting); otherwise the value is zero.
std::optional<JsonError> NumberReader::read_exponent(bool& saturated) {
  number_.integral = false;
  ++pos_;  // 'e' or 'E'
  bool exponent_negative = false;
  if (peek_is('+') || peek_is('-')) exponent_negative = text_[pos_++] == '-';
  if (pos_ == text_.size()) return eof();
  const char first = text_[pos_++];
  if (!is_digit(first)) return error_here(JsonErrorCode::InvalidNumber);
  std::int32_t exponent = first - '0';
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  while (peek_is_digit()) {
    const int digit = text_[pos_++] - '0';
    if (exponent > (kMax - digit) / 10) {
      if (number_.nonzero_digit && !exponent_negative) return error_here(JsonErrorCode::NumberOutOfRange);
      while (peek_is_digit()) ++pos_;
      saturated = true;
      return std::nullopt;
    }
    exponent = exponent * 10 + digit;
  }
  number_.exponent = exponent_negative ? -exponent : exponent;
  return std::nullopt;
}

std::optional<JsonError> NumberReader::read_floating(JsonValue& out) const {
  const std::string_view digits = text_.substr(number_.start, pos_ - number_.start);
  double value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Either beyond the largest double or below the smallest one: the decimal
    // exponent of the first significant digit says which.
    if (number_.nonzero_digit && number_.leading_magnitude + number_.exponent >= 0) {
      return error_here(JsonErrorCode::NumberOutOfRange);
    }
    value = number_.negative ? -0.0 : 0.0;
  }
  out = value;
  return std::nullopt;
}

struct ScientificDigits {
  bool negative = false;
  std::string digits;  // no leading or trailing zeros, except a lone "0"
  int exponent = 0;    // of the first digit: value = d.ddd * 10^exponent
};

ScientificDigits shortest_scientific(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  ScientificDigits out;
  std::size_t i = 0;
  out.negative = text[i] == '-';
  if (out.negative) ++i;
  for (; text[i] != 'e'; ++i) {
    if (text[i] != '.') out.digits += text[i];
  }
  const std::string_view exponent = text.substr(i + 1);
  const char* exponent_begin = exponent.data() + (exponent.front() == '+' ? 1 : 0);
  std::from_chars(exponent_begin, exponent.data() + exponent.size(), out.exponent);
  return out;
}

}  // namespace

std::optional<JsonError> read_number(std::string_view text, std::size_t& pos, JsonValue& out) {
  return NumberReader(text, pos).read(out);
}

std::string format_shortest(double value) {
  const ScientificDigits parts = shortest_scientific(value);
  const auto length = static_cast<int>(parts.digits.size());
  const int point = parts.exponent + 1;  // digits before the decimal point
  std::string out = parts.negative ? "-" : "";
  if (point >= length && point <= 16) {  // integral: 12300.0
    out += parts.digits;
    out.append(static_cast<std::size_t>(point - length), '0');
    out += ".0";
  } else if (point > 0 && point <= 16) {  // 12.5
    out += std::string_view(parts.digits).substr(0, static_cast<std::size_t>(point));
    out += '.';
    out += std::string_view(parts.digits).substr(static_cast<std::size_t>(point));
  } else if (point > -5 && point <= 0) {  // 0.00125
    out += "0.";
    out.append(static_cast<std::size_t>(-point), '0');
    out += parts.digits;
  } else {  // 1e16, 1.25e-7
    out += parts.digits.front();
    if (length > 1) {
      out += '.';
      out += std::string_view(parts.digits).substr(1);
    }
    out += 'e';
    out += std::to_string(parts.exponent);
  }
  return out;
}

}  // namespace ondrel
