#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace ondrel::screen {

// A PNG file of 8-bit RGB (colour type 2, no alpha, not interlaced) around
// scanlines compressed elsewhere (by zlib): signature, IHDR, one IDAT, IEND.
// CRC-32 is computed by the caller with the same library.

inline constexpr std::size_t kPngHeaderFieldsSize = 4 + 13;

// The IHDR chunk's type and data: what its CRC covers.
std::array<std::uint8_t, kPngHeaderFieldsSize> png_header_fields(std::int32_t width, std::int32_t height);

inline constexpr std::array<std::uint8_t, 4> kPngDataType{'I', 'D', 'A', 'T'};

// The largest length a chunk can state.
inline constexpr std::size_t kPngLargestChunk = 0x7fffffff;

// The file's size around `compressed_size` bytes of image data.
std::size_t png_file_size(std::size_t compressed_size);

// Writes the file into `out` (png_file_size() bytes). `header_crc` covers
// png_header_fields(); `data_crc` covers kPngDataType then `compressed`.
void write_png_file(std::span<std::uint8_t> out, std::span<const std::uint8_t, kPngHeaderFieldsSize> header_fields,
                    std::uint32_t header_crc, std::span<const std::uint8_t> compressed, std::uint32_t data_crc);

}  // namespace ondrel::screen
