#pragma once
// Raster family: colour rasters to one byte of brightness per pixel.
#include <cstdint>

namespace plr::imaging_lib {

// Writes width x height grey bytes (row stride greyStride) from a raster of
// 1, 3 or 4 bytes per pixel (red first). Grey = (77 r + 150 g + 29 b + 128) >> 8,
// the integer form of the 0.299 / 0.587 / 0.114 luma weights, so white stays
// 255 and black 0. One byte per pixel is copied. `flags` is accepted for the
// library signature and unused.
std::int32_t ImageToGrayScale8Bit(const void* src, std::int32_t width, std::int32_t height,
                                  std::int32_t bytesPerPixel, std::int32_t srcStride, std::uint8_t* grey,
                                  std::int32_t greyStride, std::int32_t flags) noexcept;

}  // namespace plr::imaging_lib
