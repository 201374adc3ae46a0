#pragma once
// Conversions between host buffers, no layer involved: RGBA64 blocks to
// RGBA32 or RGB24 by the high-byte rule. Strides are in bytes and may be
// negative or odd. Null buffers and negative sizes make a function do
// nothing and answer false.
#include <cstdint>

namespace plr {

enum class Narrow { RGBA32, RGB24 };

// A width x height block: source rows `srcStride` bytes apart, destination
// rows `dstStride` bytes apart, both starting at the block's first pixel.
bool convertRGBA64Block(Narrow to, const std::uint8_t* src, std::int32_t srcStride, std::uint8_t* dst,
                        std::int32_t dstStride, std::int32_t width, std::int32_t height);

// The rectangle (x, y, width, height) of a source whose rows are
// `srcRowPixels` pixels long, into a packed destination (width * 4 or
// width * 3 bytes a row). Refuses x, y < 0 and rows shorter than x + width.
bool convertRGBA64Rect(Narrow to, const std::uint8_t* src, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::int32_t srcRowPixels, std::uint8_t* dst);

}  // namespace plr
