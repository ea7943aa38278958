#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace ondrel {

// The characters `type_text` can type, as the keys of a US layout: each row
// is one key with the character it gives alone and the one it gives with
// Shift. Every other character (carriage return, other control characters,
// anything above U+007E) has no entry and is skipped when typing.
struct LayoutKey {
  std::uint8_t usage;  // Keyboard/Keypad page (0x07)
  char plain;
  char shifted;  // kNoCharacter: the key is not used shifted
};

inline constexpr char kNoCharacter = '\0';

inline constexpr auto kUsLayoutKeys = std::to_array<LayoutKey>({
    {0x04, 'a', 'A'}, {0x05, 'b', 'B'}, {0x06, 'c', 'C'}, {0x07, 'd', 'D'}, {0x08, 'e', 'E'},
    {0x09, 'f', 'F'}, {0x0A, 'g', 'G'}, {0x0B, 'h', 'H'}, {0x0C, 'i', 'I'}, {0x0D, 'j', 'J'},
    {0x0E, 'k', 'K'}, {0x0F, 'l', 'L'}, {0x10, 'm', 'M'}, {0x11, 'n', 'N'}, {0x12, 'o', 'O'},
    {0x13, 'p', 'P'}, {0x14, 'q', 'Q'}, {0x15, 'r', 'R'}, {0x16, 's', 'S'}, {0x17, 't', 'T'},
    {0x18, 'u', 'U'}, {0x19, 'v', 'V'}, {0x1A, 'w', 'W'}, {0x1B, 'x', 'X'}, {0x1C, 'y', 'Y'},
    {0x1D, 'z', 'Z'},

    {0x1E, '1', '!'}, {0x1F, '2', '@'}, {0x20, '3', '#'}, {0x21, '4', '$'}, {0x22, '5', '%'},
    {0x23, '6', '^'}, {0x24, '7', '&'}, {0x25, '8', '*'}, {0x26, '9', '('}, {0x27, '0', ')'},

    {0x28, '\n', kNoCharacter},  // Enter
    {0x2B, '\t', kNoCharacter},  // Tab
    {0x2C, ' ', kNoCharacter},   // Space

    {0x2D, '-', '_'},  {0x2E, '=', '+'}, {0x2F, '[', '{'},  {0x30, ']', '}'},
    {0x31, '\\', '|'},  // 0x32, the non-US hash key, is not used
    {0x33, ';', ':'},  {0x34, '\'', '"'}, {0x35, '`', '~'}, {0x36, ',', '<'}, {0x37, '.', '>'},
    {0x38, '/', '?'},
});

// How many characters the layout types.
constexpr std::size_t typed_character_count() {
  std::size_t count = 0;
  for (const LayoutKey& key : kUsLayoutKeys) count += (key.plain != kNoCharacter) + (key.shifted != kNoCharacter);
  return count;
}
static_assert(typed_character_count() == 97);

struct TypedKey {
  std::uint8_t usage;
  bool shifted;
};

// The key that types `character` (a Unicode code point), if any.
std::optional<TypedKey> typed_key(char32_t character);

}  // namespace ondrel
