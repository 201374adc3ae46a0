#pragma once
// Filters family: Gaussian blur.
#include <cstdint>

namespace plr::imaging_lib {

// Gaussian blur of a raster of 1, 3 or 4 byte channels from `src` into `dst`
// (same size and stride; they may not overlap). `radius` is the reach of the
// kernel in pixels (sigma = radius / 3). Up to a reach of 24 the separable
// kernel is applied directly (16-bit fixed-point weights summing to 65536,
// edges clamped); beyond it three successive box blurs of the same variance
// stand in for it, which keeps the cost independent of the radius. A radius
// below 0.5 copies. `flags` is accepted for the library signature and unused.
std::int32_t GaussianBlurImage(const void* src, void* dst, std::int32_t width, std::int32_t height,
                               std::int32_t bytesPerPixel, std::int32_t stride, double radius,
                               std::int32_t flags) noexcept;

}  // namespace plr::imaging_lib
