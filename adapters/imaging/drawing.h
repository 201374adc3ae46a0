#pragma once
// Drawing family: solid shapes into 1-, 3- or 4-byte rasters. The colour is a
// packed value, red in the low byte; a 1-byte raster takes the low byte.
#include <cstdint>

namespace plr::imaging_lib {

// Fills the rectangle with corners (left, top) and (right, bottom), both
// included, clipped to the raster.
std::int32_t FillSolidRect(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                           std::int32_t stride, std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom, std::uint32_t colour) noexcept;

// Fills the ellipse centred at (cx, cy) with radii rx, ry (>= 1): every pixel
// with (x - cx)^2 ry^2 + (y - cy)^2 rx^2 <= rx^2 ry^2, clipped to the raster.
std::int32_t DrawEllipseOnImage(void* pixels, std::int32_t width, std::int32_t height,
                                std::int32_t bytesPerPixel, std::int32_t stride, std::int32_t cx,
                                std::int32_t cy, std::int32_t rx, std::int32_t ry, std::uint32_t colour) noexcept;

}  // namespace plr::imaging_lib
