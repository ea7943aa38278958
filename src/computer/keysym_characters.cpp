#include "computer/keysym_characters.h"

#include <array>
#include <cstdint>

namespace ondrel::computer {
namespace {

// X's keysym names of U+00A0 to U+00FF, in order (keysymdef.h: the keysym is
// the code point).
constexpr auto kLatin1Names = std::to_array<std::string_view>({
    "nobreakspace", "exclamdown", "cent", "sterling", "currency", "yen", "brokenbar", "section", "diaeresis",
    "copyright", "ordfeminine", "guillemotleft", "notsign", "hyphen", "registered", "macron", "degree", "plusminus",
    "twosuperior", "threesuperior", "acute", "mu", "paragraph", "periodcentered", "cedilla", "onesuperior",
    "masculine", "guillemotright", "onequarter", "onehalf", "threequarters", "questiondown", "Agrave", "Aacute",
    "Acircumflex", "Atilde", "Adiaeresis", "Aring", "AE", "Ccedilla", "Egrave", "Eacute", "Ecircumflex",
    "Ediaeresis", "Igrave", "Iacute", "Icircumflex", "Idiaeresis", "ETH", "Ntilde", "Ograve", "Oacute",
    "Ocircumflex", "Otilde", "Odiaeresis", "multiply", "Oslash", "Ugrave", "Uacute", "Ucircumflex", "Udiaeresis",
    "Yacute", "THORN", "ssharp", "agrave", "aacute", "acircumflex", "atilde", "adiaeresis", "aring", "ae",
    "ccedilla", "egrave", "eacute", "ecircumflex", "ediaeresis", "igrave", "iacute", "icircumflex", "idiaeresis",
    "eth", "ntilde", "ograve", "oacute", "ocircumflex", "otilde", "odiaeresis", "division", "oslash", "ugrave",
    "uacute", "ucircumflex", "udiaeresis", "yacute", "thorn", "ydiaeresis",
});
static_assert(kLatin1Names.size() == 0x100 - 0xA0, "one name for each of U+00A0 to U+00FF");

std::string utf8(char32_t code_point) {
  std::string out;
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
  return out;
}

// The length of the UTF-8 sequence that `lead` starts, or 0 for a byte that starts none.
std::size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

bool is_one_character(std::string_view name) {
  if (name.empty() || sequence_length(static_cast<unsigned char>(name[0])) != name.size()) return false;
  for (std::size_t i = 1; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> keysym_character(std::string_view name) {
  for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
    if (kLatin1Names[i] == name) return utf8(static_cast<char32_t>(0xA0 + i));
  }
  if (name == "EuroSign") return utf8(U'\u20AC');
  // Control characters are keys, never text.
  if (is_one_character(name) && static_cast<unsigned char>(name[0]) >= 0x20 && name[0] != 0x7F) {
    return std::string(name);
  }
  return std::nullopt;
}

}  // namespace ondrel::computer
