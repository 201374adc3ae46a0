#pragma once
// Filters family: softening a raster of byte channels.
#include <cstdint>

namespace plr::imaging_lib {

// Gaussian blur of a raster whose pixels are 1 to 4 byte channels, each
// channel blurred on its own. The kernel is the binomial approximation of a
// Gaussian with the given radius (1..4: 3 to 9 taps a side, radius 1 is
// 1-2-1 across and down), applied separably with the border pixels
// repeated, rounded to nearest. `strength` (0..100 percent) mixes the
// blurred value with the original: 100 gives the full blur, 0 a copy.
// Returns 0, leaving dst unchanged, for bad arguments (null rasters,
// sizes below 1, a stride shorter than a row, a radius outside 1..4) or
// when its row buffer cannot be allocated; 1 otherwise. src and dst must
// not overlap.
std::int32_t BlurImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                       std::int32_t srcStride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t strength,
                       std::int32_t radius) noexcept;

}  // namespace plr::imaging_lib
