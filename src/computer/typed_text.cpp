#include "computer/typed_text.h"

#include "platform/utf8_text.h"

namespace ondrel::computer {
namespace {

// C1 controls, U+0080 to U+009F, are 0xC2 0x80 to 0xC2 0x9F in UTF-8.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kC1First = 0x80;
constexpr unsigned char kC1Last = 0x9F;

Outcome refused(char32_t control) {
  return Outcome::failure(character_name(control) +
                          " is a control character, which cannot be typed: of those only \\n and \\r (Enter) and \\t (Tab) are");
}

}  // namespace

Expected<std::string> typeable_text(std::string_view text) {
  if (const Expected<std::u32string> valid = decode_utf8(text); !valid.ok()) return valid.outcome();
  std::string typed;
  typed.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      typed += '\n';
    } else if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) {
      return refused(byte);
    } else if (byte == kC1Lead && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= kC1First &&
               static_cast<unsigned char>(text[i + 1]) <= kC1Last) {
      return refused(static_cast<unsigned char>(text[i + 1]));
    } else {
      typed += text[i];
    }
  }
  return typed;
}

}  // namespace ondrel::computer
