#pragma once
// Raster family: resampling. Pixels of 1, 3 or 4 bytes are resampled byte by byte; pixels
// of 2 or 8 bytes (mask values, layer pixels) as 16-bit channels.
#include <cstdint>

namespace plr::imaging_lib {

// Every call here fails (0, nothing written) for null rasters, sizes below 1,
// strides shorter than a row or another pixel size.

// Area-averaging resample: every destination pixel is the mean of the source
// area it covers, each source pixel weighted by its overlap, rounded to
// nearest (halves up). Exact integer arithmetic; halving both sides of an
// 8-bit raster runs through OpenCV's INTER_AREA, which gives the same bytes. Works in either direction per axis
// (enlarging an axis gives each destination pixel the one or two source
// pixels under it). `flags` is accepted for the library signature and unused.
std::int32_t DecimateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                           void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                           std::int32_t bytesPerPixel, std::int32_t flags) noexcept;

namespace exact {
// DecimateImage's integer path, which every size takes except the halving
// OpenCV does; the tests hold that halving to it.
std::int32_t decimateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                           void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                           std::int32_t bytesPerPixel) noexcept;
}  // namespace exact

// Bilinear resample with pixel centres aligned ((x + 0.5) * w / dw - 0.5,
// clamped to the edge), 8-bit fractional weights, rounded to nearest.
std::int32_t ResizeImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                         void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                         std::int32_t bytesPerPixel) noexcept;

// Nearest-neighbour resample: destination pixel o takes source pixel
// floor((2o + 1) * S / (2D)) on each axis (the one under its centre); the
// same size is an exact copy.
std::int32_t SimpleResampleImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                                 void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                                 std::int32_t bytesPerPixel) noexcept;

// Bicubic resample (Keys' cubic, a = -0.75, over 4 x 4 source pixels at
// centre-aligned positions, edge pixels repeated), OpenCV's INTER_CUBIC:
// fixed-point weights for 8-bit channels, rounded and clamped.
std::int32_t ResizeImageBicubic(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                                void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                                std::int32_t bytesPerPixel) noexcept;

// Resample with kernel `filter` 0..13 of filter_kernels.h ("Box" ...
// "Catrom"): separable, horizontal pass then vertical, with the fixed-point
// weights and roundings described there; results clamped to the channel
// range. Any other filter number fails.
std::int32_t ResizeFilterImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                               void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                               std::int32_t bytesPerPixel, std::int32_t filter) noexcept;

}  // namespace plr::imaging_lib
