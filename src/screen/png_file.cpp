#include "screen/png_file.h"

#include <algorithm>

namespace ondrel::screen {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// IEND has no data, so its CRC (of "IEND" alone) never changes.
constexpr std::array<std::uint8_t, 12> kEnd{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82};
constexpr std::size_t kChunkFrame = 4 + 4 + 4;  // length, type, CRC

constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;

std::uint8_t* put_u32(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value >> 24);
  out[1] = static_cast<std::uint8_t>(value >> 16);
  out[2] = static_cast<std::uint8_t>(value >> 8);
  out[3] = static_cast<std::uint8_t>(value);
  return out + 4;
}

template <class Bytes>
std::uint8_t* put(std::uint8_t* out, const Bytes& bytes) {
  return std::copy(bytes.begin(), bytes.end(), out);
}

}  // namespace

std::array<std::uint8_t, kPngHeaderFieldsSize> png_header_fields(std::int32_t width, std::int32_t height) {
  std::array<std::uint8_t, kPngHeaderFieldsSize> fields{'I', 'H', 'D', 'R'};
  std::uint8_t* out = put_u32(fields.data() + 4, static_cast<std::uint32_t>(width));
  out = put_u32(out, static_cast<std::uint32_t>(height));
  *out++ = kBitDepth;
  *out++ = kColourTypeRgb;
  // Compression, filter and interlace methods: deflate, adaptive, none.
  *out++ = 0;
  *out++ = 0;
  *out = 0;
  return fields;
}

std::size_t png_file_size(std::size_t compressed_size) {
  return kSignature.size() + (kChunkFrame + 13) + (kChunkFrame + compressed_size) + kEnd.size();
}

void write_png_file(std::span<std::uint8_t> out, std::span<const std::uint8_t, kPngHeaderFieldsSize> header_fields,
                    std::uint32_t header_crc, std::span<const std::uint8_t> compressed, std::uint32_t data_crc) {
  std::uint8_t* at = put(out.data(), kSignature);
  at = put_u32(at, kPngHeaderFieldsSize - 4);
  at = put(at, header_fields);
  at = put_u32(at, header_crc);
  at = put_u32(at, static_cast<std::uint32_t>(compressed.size()));
  at = put(at, kPngDataType);
  at = put(at, compressed);
  at = put_u32(at, data_crc);
  put(at, kEnd);
}

}  // namespace ondrel::screen
