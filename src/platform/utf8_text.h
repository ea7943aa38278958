#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrel {

// The code points of UTF-8 `text`, or nothing when it is not valid UTF-8
// (overlong forms, surrogates and values above U+10FFFF included).
std::optional<std::u32string> decode_utf8(std::string_view text);

}  // namespace ondrel
