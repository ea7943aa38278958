#include "json/json_quoting.h"

#include <array>
#include <optional>

namespace ondrel {
namespace {

// Escapes for the bytes below 0x20 that have a short form.
std::optional<char> short_escape(unsigned char byte) {
  switch (byte) {
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\f': return 'f';
    case '\r': return 'r';
    default: return std::nullopt;
  }
}

}  // namespace

void append_json_string(std::string& out, std::string_view text) {
  constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20) {
      out += c;  // slash, DEL and UTF-8 sequences are copied unchanged
    } else if (const auto escape = short_escape(byte)) {
      out += '\\';
      out += *escape;
    } else {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  out += '"';
}

}  // namespace ondrel
