#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace ondrel::linux::x11 {

// A text's characters, or where its UTF-8 first goes wrong.
struct Utf8Decoding {
  static constexpr std::size_t kValid = static_cast<std::size_t>(-1);

  std::vector<char32_t> characters;  // empty unless valid
  std::size_t invalid_at = kValid;   // byte offset of the first byte of the bad sequence
};

// Strict UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short.
Utf8Decoding decode_utf8(std::string_view text);

}  // namespace ondrel::linux::x11
