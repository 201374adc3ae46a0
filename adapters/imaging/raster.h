#pragma once
// Raster family: rectangle copies and channel reordering.
#include <cstdint>

namespace plr::imaging_lib {

// Draws `src` (width x height, bytesPerPixel, srcStride) onto `dst` with its
// top-left at (x, y) of a dstWidth x dstHeight raster. At opacity 1.0 it is an
// exact copy for any pixel size. The rectangle is clipped to the destination.
// Opacities below 1.0 blend byte-wise: d + (s - d) * opacity, truncated.
std::int32_t OverlayImage(const void* src, std::int32_t width, std::int32_t height,
                          std::int32_t bytesPerPixel, std::int32_t srcStride, void* dst,
                          std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                          std::int32_t x, std::int32_t y, double opacity) noexcept;

// The newer library's overlay: the destination comes first. Draws `src`
// (width x height, srcStride) onto `dst` (dstWidth x dstHeight, dstStride)
// with its top-left at (x, y), clipped to the destination, exactly as
// OverlayImage does. `bytesPerPixel` applies to both rasters. The three
// trailing arguments belong to the library's transparent-colour variant,
// which the engine never asks for: they must be 0, and any other value
// makes the call fail.
std::int32_t OverlayImage40(void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t bytesPerPixel,
                            std::int32_t dstStride, const void* src, std::int32_t width, std::int32_t height,
                            std::int32_t srcStride, std::int32_t x, std::int32_t y, double opacity,
                            std::int32_t transparentMode, std::uint32_t transparentColour,
                            std::int32_t reserved) noexcept;

// Swaps bytes 0 and 2 of every 4-byte pixel, in place (RGBA <-> BGRA).
std::int32_t RGBAToBGRA(void* pixels, std::int32_t width, std::int32_t height,
                        std::int32_t stride) noexcept;

}  // namespace plr::imaging_lib
