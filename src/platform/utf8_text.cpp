#include "platform/utf8_text.h"

namespace ondrel {
namespace {

struct Lead {
  std::size_t length;
  char32_t bits;
  char32_t smallest;  // below it the form is overlong
};

std::optional<Lead> lead_byte(unsigned char byte) {
  if (byte < 0x80) return Lead{1, byte, 0};
  if ((byte & 0xE0) == 0xC0) return Lead{2, byte & 0x1Fu, 0x80};
  if ((byte & 0xF0) == 0xE0) return Lead{3, byte & 0x0Fu, 0x800};
  if ((byte & 0xF8) == 0xF0) return Lead{4, byte & 0x07u, 0x10000};
  return std::nullopt;
}

}  // namespace

std::optional<std::u32string> decode_utf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = lead_byte(static_cast<unsigned char>(text[i]));
    if (!lead || i + lead->length > text.size()) return std::nullopt;
    char32_t code_point = lead->bits;
    for (std::size_t k = 1; k < lead->length; ++k) {
      const auto byte = static_cast<unsigned char>(text[i + k]);
      if ((byte & 0xC0) != 0x80) return std::nullopt;
      code_point = (code_point << 6) | (byte & 0x3Fu);
    }
    if (code_point < lead->smallest || code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF))
      return std::nullopt;
    out.push_back(code_point);
    i += lead->length;
  }
  return out;
}

}  // namespace ondrel
