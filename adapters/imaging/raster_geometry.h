#pragma once
// Raster family: crops, flips, quarter turns and turns by any angle.
// Pixels may be 1, 2, 3, 4 or 8 bytes unless a call says otherwise; strides
// are in bytes and at least width * bytesPerPixel. Every call returns 0,
// writing nothing, for null rasters, sizes below 1 or another pixel size.
#include <cstdint>

namespace plr::imaging_lib {

// A rectangle of pixel edges: right and bottom are exclusive.
struct LibRect {
    std::int32_t left, top, right, bottom;
};

// Copies the rectangle `rect` of `src` (width x height) to the top-left of
// `dst`: (right - left) x (bottom - top) pixels. The rectangle must lie
// inside the source and hold at least one pixel; otherwise the call fails.
std::int32_t CropImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride, void* dst,
                       std::int32_t dstStride, const LibRect* rect, std::int32_t bytesPerPixel) noexcept;

// Turns `src` (width x height) into `dst` by quarter turns, as seen on a
// screen whose rows run downwards: selector 0 turns clockwise ("right") and
// selector 2 anticlockwise ("left"), both giving a height x width raster;
// selector 1 turns half way round (width x height). Other selectors fail.
// Every pixel is moved unchanged; `dst` must not overlap `src`.
std::int32_t QuickRotateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                              void* dst, std::int32_t dstStride, std::int32_t selector,
                              std::int32_t bytesPerPixel) noexcept;

// Mirrors each row in place (column x changes places with width - 1 - x).
std::int32_t HorizontalFlipImage(void* image, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                 std::int32_t stride) noexcept;
// Mirrors the rows in place (row y changes places with height - 1 - y); rows
// are `rowBytes` long and packed.
std::int32_t VerticalFlipImage(void* image, std::int32_t rowBytes, std::int32_t height) noexcept;

// The size of the smallest raster that holds a width x height picture turned
// by `radians`: ceil(|w cos a| + |h sin a|) x ceil(|w sin a| + |h cos a|),
// where sums within 1/1000 above a whole number count as that number (so
// quarter turns given as rounded radians give exactly h x w). False for
// sizes below 1 or results beyond 2^30.
std::int32_t GetRotatedPixelSize(double radians, std::int32_t width, std::int32_t height, std::int32_t* rotatedWidth,
                                 std::int32_t* rotatedHeight) noexcept;

// Turns `src` (width x height) by `radians` about its centre, anticlockwise
// on screen for positive angles, into `dst`, whose size is
// GetRotatedPixelSize's; the centres of both rasters coincide. Each
// destination pixel samples the source at its inverse-rotated centre:
// quality 0 takes the nearest pixel, 1 interpolates bilinearly and 2
// bicubically (5 fractional bits of position, weights rounded). Destination
// pixels whose sample falls outside the source get `fillColour` (byte 0
// into channel 0 and so on; 16-bit channels get byte x 257). 8-bit channels
// for 1, 3 and 4 bytes a pixel, 16-bit for 2 and 8. `dstBytes` is the size
// of `dst`: the call fails when the rotated raster would not fit.
// `reserved` must be 0.
std::int32_t RotateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                         std::int32_t srcStride, void* dst, std::int32_t dstStride, std::int64_t dstBytes,
                         std::uint32_t fillColour, std::int32_t reserved, double radians,
                         std::int32_t quality) noexcept;
// The newer library's form: the same turn, `dst` sized by the caller from
// GetRotatedPixelSize.
std::int32_t RotateImage40(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                           std::int32_t srcStride, void* dst, std::int32_t dstStride, std::uint32_t fillColour,
                           std::int32_t reserved, double radians, std::int32_t quality) noexcept;

}  // namespace plr::imaging_lib
