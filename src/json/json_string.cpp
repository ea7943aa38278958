#include "json/json_string.h"

#include <cstdint>

namespace ondrel {
namespace {

// Receives the pieces of a string while it is read: runs of raw bytes and the
// characters that escapes stand for. Checking a string needs neither.
struct DiscardingSink {
  void raw(std::string_view) {}
  void character(char32_t) {}
};

struct AppendingSink {
  std::string& out;
  void raw(std::string_view bytes) { out += bytes; }
  void character(char32_t code_point) { append_utf8(code_point, out); }
};

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence that starts at text[pos] with a
// byte >= 0x80, or 0 when it is not one (overlong forms, surrogates and
// values beyond U+10FFFF included).
std::size_t utf8_sequence_length(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) -> unsigned char {
    return pos + i < text.size() ? static_cast<unsigned char>(text[pos + i]) : 0;
  };
  const unsigned char lead = byte(0);
  const unsigned char second = byte(1);
  std::size_t length = 0;
  bool second_ok = is_continuation(second);
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_ok = second >= 0xA0 && second <= 0xBF;
    if (lead == 0xED) second_ok = second >= 0x80 && second <= 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_ok = second >= 0x90 && second <= 0xBF;
    if (lead == 0xF4) second_ok = second >= 0x80 && second <= 0x8F;
  } else {
    return 0;
  }
  if (!second_ok) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!is_continuation(byte(i))) return 0;
  }
  return length;
}

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class StringReader {
 public:
  StringReader(std::string_view text, std::size_t& pos) : text_(text), pos_(pos) {}

  // Reads from just after the opening quote to just after the closing one.
  template <class Sink>
  std::optional<JsonError> read_contents(Sink& sink, bool& has_escapes);

 private:
  template <class Sink>
  std::optional<JsonError> read_escape(Sink& sink);
  template <class Sink>
  std::optional<JsonError> read_unicode_escape(Sink& sink);
  std::optional<JsonError> read_hex4(char32_t& value);

  JsonError error_here(JsonErrorCode code) const { return {code, pos_}; }
  JsonError eof() const { return {JsonErrorCode::EofWhileParsingString, text_.size()}; }
  bool at_end() const { return pos_ == text_.size(); }

  std::string_view text_;
  std::size_t& pos_;
};

template <class Sink>
std::optional<JsonError> StringReader::read_contents(Sink& sink, bool& has_escapes) {
  // Malformed UTF-8 is reported once the whole string has been read, so
  // that an unterminated string or a bad escape still takes precedence.
  bool malformed_utf8 = false;
  std::size_t run_start = pos_;
  while (true) {
    if (at_end()) return eof();
    const auto byte = static_cast<unsigned char>(text_[pos_]);
    if (byte == '"') {
      sink.raw(text_.substr(run_start, pos_ - run_start));
      ++pos_;
      if (malformed_utf8) return error_here(JsonErrorCode::InvalidUnicodeCodePoint);
      return std::nullopt;
    }
    if (byte == '\\') {
      sink.raw(text_.substr(run_start, pos_ - run_start));
      ++pos_;
      if (auto error = read_escape(sink)) return error;
      has_escapes = true;
      run_start = pos_;
    } else if (byte < 0x20) {
      ++pos_;
      return error_here(JsonErrorCode::ControlCharacterWhileParsingString);
    } else if (byte >= 0x80) {
      const std::size_t length = utf8_sequence_length(text_, pos_);
      malformed_utf8 = malformed_utf8 || length == 0;
      pos_ += length == 0 ? 1 : length;
    } else {
      ++pos_;
    }
  }
}

template <class Sink>
std::optional<JsonError> StringReader::read_escape(Sink& sink) {
  if (at_end()) return eof();
  const char escape = text_[pos_++];
  switch (escape) {
    case '"': sink.character('"'); break;
    case '\\': sink.character('\\'); break;
    case '/': sink.character('/'); break;
    case 'b': sink.character('\b'); break;
    case 'f': sink.character('\f'); break;
    case 'n': sink.character('\n'); break;
    case 'r': sink.character('\r'); break;
    case 't': sink.character('\t'); break;
    case 'u': return read_unicode_escape(sink);
    default: return error_here(JsonErrorCode::InvalidEscape);
  }
  return std::nullopt;
}

// \uXXXX, where a leading surrogate must be followed at once by an escaped
// trailing one; the pair stands for one character beyond U+FFFF.
template <class Sink>
std::optional<JsonError> StringReader::read_unicode_escape(Sink& sink) {
  char32_t first = 0;
  if (auto error = read_hex4(first)) return error;
  if (first >= 0xDC00 && first <= 0xDFFF) return error_here(JsonErrorCode::LoneLeadingSurrogateInHexEscape);
  if (first < 0xD800 || first > 0xDBFF) {
    sink.character(first);
    return std::nullopt;
  }
  for (const char expected : {'\\', 'u'}) {
    if (at_end()) return eof();
    if (text_[pos_++] != expected) return error_here(JsonErrorCode::UnexpectedEndOfHexEscape);
  }
  char32_t second = 0;
  if (auto error = read_hex4(second)) return error;
  if (second < 0xDC00 || second > 0xDFFF) return error_here(JsonErrorCode::LoneLeadingSurrogateInHexEscape);
  sink.character(0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00));
  return std::nullopt;
}

std::optional<JsonError> StringReader::read_hex4(char32_t& value) {
  if (text_.size() - pos_ < 4) {
    pos_ = text_.size();
    return eof();
  }
  bool valid = true;
  value = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = hex_digit_value(text_[pos_++]);
    valid = valid && digit >= 0;
    value = (value << 4) | static_cast<char32_t>(digit & 0xF);
  }
  if (!valid) return error_here(JsonErrorCode::InvalidEscape);
  return std::nullopt;
}

}  // namespace

std::optional<JsonError> read_string(std::string_view text, std::size_t& pos, JsonString& out) {
  const std::size_t start = pos++;
  DiscardingSink sink;
  bool has_escapes = false;
  if (auto error = StringReader(text, pos).read_contents(sink, has_escapes)) return error;
  out = JsonString{text.substr(start, pos - start), has_escapes};
  return std::nullopt;
}

void append_decoded_string(const JsonString& string, std::string& out) {
  if (!string.has_escapes) {
    out += string.contents();
    return;
  }
  // The token was checked when it was first read, so this cannot fail.
  std::size_t pos = 1;
  AppendingSink sink{out};
  bool has_escapes = false;
  (void)StringReader(string.token, pos).read_contents(sink, has_escapes);
}

std::string decode_string(const JsonString& string) {
  std::string out;
  append_decoded_string(string, out);
  return out;
}

bool string_equals(const JsonString& string, std::string_view expected) {
  if (!string.has_escapes) return string.contents() == expected;
  return decode_string(string) == expected;
}

void append_utf8(char32_t code_point, std::string& out) {
  const auto put = [&](char32_t byte) { out += static_cast<char>(byte); };
  if (code_point < 0x80) {
    put(code_point);
  } else if (code_point < 0x800) {
    put(0xC0 | (code_point >> 6));
    put(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    put(0xE0 | (code_point >> 12));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  } else {
    put(0xF0 | (code_point >> 18));
    put(0x80 | ((code_point >> 12) & 0x3F));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  }
}

}  // namespace ondrel
