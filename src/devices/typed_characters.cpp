#include "devices/typed_characters.h"

namespace ondrel {
namespace {

constexpr std::size_t kAsciiCount = 128;

// kUsLayoutKeys indexed by character; usage 0 marks a character without a key.
constexpr std::array<TypedKey, kAsciiCount> index_by_character() {
  std::array<TypedKey, kAsciiCount> index{};
  for (const LayoutKey& key : kUsLayoutKeys) {
    index[static_cast<unsigned char>(key.plain)] = {key.usage, false};
    if (key.shifted != kNoCharacter) index[static_cast<unsigned char>(key.shifted)] = {key.usage, true};
  }
  return index;
}

constexpr std::array<TypedKey, kAsciiCount> kKeyByCharacter = index_by_character();

}  // namespace

std::optional<TypedKey> typed_key(char32_t character) {
  if (character >= kAsciiCount) return std::nullopt;
  const TypedKey key = kKeyByCharacter[character];
  if (key.usage == 0) return std::nullopt;
  return key;
}

}  // namespace ondrel
