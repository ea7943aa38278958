#include "agent/value_description.h"

#include <charconv>
#include <cstdint>

#include "json/json_number.h"
#include "json/json_string.h"

namespace ondrel {
namespace {

template <class Integer>
std::string integer_text(Integer value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The code point of the UTF-8 sequence at text[pos], which is well formed
// because the reader checked it; `pos` moves past it.
char32_t next_code_point(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  const int continuation_bytes = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  char32_t code_point = lead & (0x3F >> continuation_bytes);
  for (int i = 0; i < continuation_bytes; ++i) {
    code_point = (code_point << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
  }
  return code_point;
}

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

void append_escaped(char32_t c, std::string& out) {
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\t': out += "\\t"; return;
    case '\r': out += "\\r"; return;
    case '\n': out += "\\n"; return;
    case '\0': out += "\\0"; return;
    default: break;
  }
  if (!is_control(c)) {
    append_utf8(c, out);
    return;
  }
  char digits[8];
  const auto result = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint32_t>(c), 16);
  out += "\\u{";
  out.append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
  out += '}';
}

std::string quoted(std::string_view label, std::string text) {
  std::string out(label);
  out += " `";
  out += text;
  out += '`';
  return out;
}

}  // namespace

std::string describe_string(std::string_view text) {
  std::string out = "string \"";
  out.reserve(out.size() + text.size() + 1);
  for (std::size_t pos = 0; pos < text.size();) append_escaped(next_code_point(text, pos), out);
  out += '"';
  return out;
}

std::string describe(const JsonValue& value) {
  struct Describer {
    std::string operator()(JsonNull) const { return "null"; }
    std::string operator()(bool b) const { return quoted("boolean", b ? "true" : "false"); }
    std::string operator()(std::uint64_t n) const { return quoted("integer", integer_text(n)); }
    std::string operator()(std::int64_t n) const { return quoted("integer", integer_text(n)); }
    std::string operator()(double x) const { return quoted("floating point", format_shortest(x)); }
    std::string operator()(const JsonString& s) const { return describe_string(decode_string(s)); }
    std::string operator()(const JsonArray&) const { return "sequence"; }
    std::string operator()(JsonObject) const { return "map"; }
  };
  return std::visit(Describer{}, value);
}

std::string invalid_type(const JsonValue& value, std::string_view expected) {
  std::string message = "invalid type: ";
  message += describe(value);
  message += ", expected ";
  message += expected;
  return message;
}

}  // namespace ondrel
