#pragma once
// Bitmap family: RGBA32 pictures to and from device-independent bitmaps
// (DIBs): a 40-byte BITMAPINFOHEADER followed by the pixel rows, each padded
// to a multiple of 4 bytes, in blue-green-red(-alpha) order, bottom row first
// for a positive height and top row first for a negative one. 24- and
// 32-bit uncompressed DIBs (BI_RGB, and BI_BITFIELDS with the usual masks)
// are read; RGBAToDIB writes 32-bit bottom-up ones.
#include <cstdint>

namespace plr::imaging_lib {

constexpr std::int32_t kDibHeaderBytes = 40;

// Bytes a DIB of the given size and bit depth (24 or 32) takes, header
// included; 0 for sizes below 1 or beyond 2^31 bytes.
std::int64_t DIBBytes(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel) noexcept;

// Writes a 32-bit bottom-up DIB of the width x height RGBA picture (alpha
// kept in the fourth byte) into `dib`, which holds DIBBytes(w, h, 32) bytes.
std::int32_t RGBAToDIB(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, void* dib) noexcept;
// The same with the depth (24: alpha dropped, 32) and row order chosen.
std::int32_t RGBAToDIBFormat(const std::uint8_t* rgba, std::int32_t width, std::int32_t height,
                             std::int32_t bitsPerPixel, bool topDown, void* dib) noexcept;

// Width and height (always positive) of a DIB; 0 when the header is not one
// this family reads.
std::int32_t DIBWidth(const void* dib) noexcept;
std::int32_t DIBHeight(const void* dib) noexcept;

// Converts a DIB into width x height RGBA pixels, top row first. 24-bit
// pixels get `alpha`; a 32-bit DIB keeps its fourth bytes unless every one
// of them is 0 (bitmaps that leave the byte unused), in which case all get
// `alpha` too.
std::int32_t DIBToRGBA(const void* dib, std::uint8_t alpha, std::uint8_t* rgba) noexcept;

}  // namespace plr::imaging_lib
