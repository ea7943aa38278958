#pragma once

#include <string>
#include <string_view>

#include "devices/outcome.h"

namespace ondrel {

// The characters of strict UTF-8 `text` (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF, no sequence cut short), or "the text
// is not valid UTF-8 at byte N", N the first byte of the bad sequence.
Expected<std::u32string> decode_utf8(std::string_view text);

// How a message names a character: "U+00E9 'é'", a control character by its
// code point alone.
std::string character_name(char32_t character);

}  // namespace ondrel
