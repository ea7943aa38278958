#include "platform/utf8_text.h"

#include <cstdint>
#include <cstdio>

namespace ondrel {
namespace {

struct LeadByte {
  std::size_t continuation_bytes;
  char32_t payload;
  char32_t smallest;  // below it the form is overlong
};

// A byte that cannot lead a sequence (a continuation byte, 0xf8 and above)
// has continuation_bytes 4.
constexpr LeadByte lead_byte(std::uint8_t byte) {
  if (byte < 0x80) return {0, byte, 0};
  if ((byte & 0xe0) == 0xc0) return {1, static_cast<char32_t>(byte & 0x1f), 0x80};
  if ((byte & 0xf0) == 0xe0) return {2, static_cast<char32_t>(byte & 0x0f), 0x800};
  if ((byte & 0xf8) == 0xf0) return {3, static_cast<char32_t>(byte & 0x07), 0x10000};
  return {4, 0, 0};
}

constexpr bool is_character(char32_t value) { return value <= 0x10ffff && (value < 0xd800 || value > 0xdfff); }

}  // namespace

Expected<std::u32string> decode_utf8(std::string_view text) {
  std::u32string characters;
  characters.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const LeadByte lead = lead_byte(static_cast<std::uint8_t>(text[at]));
    char32_t value = lead.payload;
    std::size_t next = at + 1;
    for (; next < text.size() && next <= at + lead.continuation_bytes; ++next) {
      const auto byte = static_cast<std::uint8_t>(text[next]);
      if ((byte & 0xc0) != 0x80) break;
      value = (value << 6) | (byte & 0x3f);
    }
    if (lead.continuation_bytes > 3 || next != at + 1 + lead.continuation_bytes || value < lead.smallest ||
        !is_character(value))
      return Outcome::failure("the text is not valid UTF-8 at byte " + std::to_string(at));
    characters.push_back(value);
    at = next;
  }
  return characters;
}

std::string character_name(char32_t character) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
  std::string name = code;
  if (character < 0x20 || (character >= 0x7f && character <= 0x9f)) return name;
  // Re-encoded from a decoded character, so always valid UTF-8.
  name += " '";
  if (character < 0x80) {
    name += static_cast<char>(character);
  } else {
    const int continuation = character < 0x800 ? 1 : character < 0x10000 ? 2 : 3;
    constexpr unsigned char kLeadMarks[] = {0, 0xc0, 0xe0, 0xf0};
    name += static_cast<char>(kLeadMarks[continuation] | (character >> (6 * continuation)));
    for (int shift = 6 * (continuation - 1); shift >= 0; shift -= 6)
      name += static_cast<char>(0x80 | ((character >> shift) & 0x3f));
  }
  return name + "'";
}

}  // namespace ondrel
