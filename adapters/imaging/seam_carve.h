#pragma once
// Content-aware width change (seam carving). A seam is one pixel per row,
// each within one column of the one above, from top to bottom; the seam
// whose pixels carry the least energy goes first. Energy of a pixel: the sum
// over its channels of |right - left| + |below - above| (neighbours outside
// the picture repeat the edge), plus what the guide adds.
#include <cstdint>

namespace plr::imaging_lib {

// Makes `src` (width x height, 1 to 4 byte channels per pixel) width +
// deltaWidth pixels wide into `dst` (height rows). Narrowing removes
// -deltaWidth seams one after another, the energy renewed around each
// removed seam. Widening finds up to width seams the same way on a copy and
// doubles each in the original, the new pixel the rounded mean of the seam
// pixel and its right neighbour, in rounds until the width is reached (the
// guide steers the first round; later ones follow the picture alone).
// The guide, when not null, holds one 16-bit value v per pixel (rows
// `guideStride` values apart): with bit 0 of `flags` set it marks what to
// keep (energy + v * threshold / 256), without it what to take first
// (energy - v * threshold / 256). Fails for null rasters, sizes below 1 or
// a result narrower than 1 pixel or wider than 10000.
std::int32_t SeamCarve(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                       std::int32_t srcStride, const std::uint16_t* guide, std::int32_t guideStride, void* dst,
                       std::int32_t dstStride, std::int32_t deltaWidth, std::int32_t threshold,
                       std::int32_t flags) noexcept;

}  // namespace plr::imaging_lib
