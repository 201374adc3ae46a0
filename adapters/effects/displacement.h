#pragma once
// Bump-map displacement: each destination pixel shows the source moved along
// the slope of a grey height plane, as light bends through a pressed glass
// surface. The plane is tiled over the picture when it is smaller.
#include <cstdint>

namespace plr::effect_lib {

// Destination (x, y) samples the source bilinearly at
//   (x + amount * (g(x + 1, y) - g(x - 1, y)) / 256,
//    y + amount * (g(x, y + 1) - g(x, y - 1)) / 256)
// where g reads the plane (planeWidth x planeHeight, rows planeWidth bytes)
// with wrapped indices: a slope of one grey level per pixel moves the sample
// by amount / 128 pixels, a flat plane leaves the picture as it is.
// Samples beyond the picture read by `edgeMode` (0 the fill colour, 1
// wrapped, 2 the nearest edge pixel, 3 mirrored); `fillColour` packs the
// fill's bytes, byte 0 into channel 0. Both pictures are width x height, 4
// bytes a pixel. Fails for null or shared buffers, bad sizes or strides, an
// edge mode outside 0..3, a non-finite amount, or when the heap says no.
std::int32_t BumpMapDisplacement(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                                 void* dst, std::int32_t dstStride, double amount, const std::uint8_t* plane,
                                 std::int32_t planeWidth, std::int32_t planeHeight, std::int32_t edgeMode,
                                 std::uint32_t fillColour) noexcept;

}  // namespace plr::effect_lib
