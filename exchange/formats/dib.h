#pragma once
// Device-independent bitmaps: the pixel part of BMP files, shared with the
// metafile readers, whose bitmap records carry the same structure.
#include <cstddef>
#include <cstdint>

#include "exchange/formats/image_formats.h"

namespace plr::formats {

// Decodes a bitmap whose info header (core, 40-byte or V2..V5) starts at
// `info`, with `infoSize` bytes readable there (header, masks and palette),
// and whose pixel bits are the `bitsSize` bytes at `bits`. Handles 1, 4, 8,
// 16, 24 and 32 bits a pixel, uncompressed, bit fields and RLE4/RLE8,
// bottom-up and top-down. True on success.
bool decodeDib(const std::uint8_t* info, std::size_t infoSize, const std::uint8_t* bits, std::size_t bitsSize,
               RgbaImage& out) noexcept;

// Width and height a DIB header declares (height made positive), or false.
bool dibSize(const std::uint8_t* info, std::size_t infoSize, std::int32_t& width, std::int32_t& height) noexcept;

// Bytes of a packed DIB's info part (header, masks, palette) when the bits
// follow it directly, or 0 when the header is unusable.
std::size_t dibInfoBytes(const std::uint8_t* info, std::size_t size) noexcept;

}  // namespace plr::formats
