#pragma once
// What the OpenCV-backed calls share: the element type OpenCV gives a pixel
// of each library size, and the packed fill colour as per-channel values.
// Kept free of OpenCV's headers so only the adapter .cpp files see them.
#include <cstdint>

namespace plr::imaging_lib::cv_raster {

// The OpenCV type of a pixel of 1, 3 or 4 bytes (8-bit channels) or 2 or 8
// bytes (one or four 16-bit channels); -1 for any other size.
int matType(std::int32_t bytesPerPixel) noexcept;

// The packed colour (byte 0 = channel 0, ...) as four channel values in the
// pixel's channel depth: bytes as they are for 8-bit channels, x 257 for
// 16-bit ones.
void channelValues(std::int32_t bytesPerPixel, std::uint32_t packed, double out[4]) noexcept;

}  // namespace plr::imaging_lib::cv_raster
