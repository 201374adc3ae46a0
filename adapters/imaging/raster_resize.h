#pragma once
// Raster family: resampling. Pixels of 1, 3 or 4 bytes are resampled byte by byte; pixels
// of 2 or 8 bytes (mask values, layer pixels) as 16-bit channels.
#include <cstdint>

namespace plr::imaging_lib {

// Area-averaging resample: every destination pixel is the mean of the source
// area it covers, each source pixel weighted by its overlap, rounded to
// nearest. Exact integer arithmetic. Works in either direction per axis
// (enlarging an axis gives each destination pixel the one or two source
// pixels under it). `flags` is accepted for the library signature and unused.
std::int32_t DecimateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                           void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                           std::int32_t bytesPerPixel, std::int32_t flags) noexcept;

// Bilinear resample with pixel centres aligned ((x + 0.5) * w / dw - 0.5,
// clamped to the edge), 8-bit fractional weights, rounded to nearest.
std::int32_t ResizeImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                         void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                         std::int32_t bytesPerPixel) noexcept;

}  // namespace plr::imaging_lib
