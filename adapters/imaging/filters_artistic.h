#pragma once
// Filters family: painterly renderings and glows. Two-raster calls read
// `src` and write `dst` of the same size (own strides, no overlap); rasters
// of 3 or 4 bytes a pixel (alpha copied unless said otherwise). Random
// placement comes from the C run-time generator seeded with `seed`, so the
// same arguments give the same picture everywhere. Every call returns 1 on
// success and 0, leaving its output untouched, for bad arguments or when
// work memory cannot be had.
#include <cstdint>

namespace plr::imaging_lib {

// Oil paint: each pixel takes the mean colour of the most common brightness
// among its neighbours within `radius` (square window), brightness counted
// in `levels` bins (2..256): flat dabs of paint with crisp borders.
// flags bit 0: brightness is the largest channel instead of the luma (keeps
// saturated strokes apart); bit 1: each pixel keeps its own luma, only the
// colour comes from the dab.
std::int32_t OilPaintRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                         std::int32_t levels, std::int32_t flags) noexcept;

// Stipple: the picture redrawn as dots of ink on white paper; the darker a
// place, the denser the dots. `density` 0..100 scales how many are drawn,
// `dotSize` (0 or 1: single pixels, up to 8) their radius; `colourMode` 0
// draws black ink, 1 dots in the picture's colour at that place.
std::int32_t Stipple(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                     std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t density,
                     std::int32_t dotSize, std::int32_t colourMode, std::int32_t seed) noexcept;

// Gauzy: a soft, dreamy glow. The picture is blurred over a radius of
// 1 + 30 `spread` pixels (spread 0..1), brightened by `brightness` (0..1) and
// laid over the original in screen mode with opacity `mix` (0..1). Mode 1
// uses a grey glow (keeps colours), any other the picture's colours.
std::int32_t GauzyRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                      std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, double spread,
                      double brightness, double mix, std::int32_t mode) noexcept;

// Scribble: the picture redrawn as quick pen scribbles on white paper:
// short strokes of `strokeLength` pixels (0 counts as 12; up to 200), turned
// by the local contours, laid where the picture is dark; `density` 0..100
// scales how many. `colourMode` low byte 1 draws them in the picture's
// colours, otherwise in black.
std::int32_t Scribble(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                      std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t strokeLength,
                      std::int32_t colourMode, std::int32_t density, std::int32_t seed) noexcept;

// Watercolour tint: colours are washed, like pigment carried by water: the
// picture is smoothed by a 5 x 5 median, its colours lightened towards the
// paper and made a little richer, then mixed with the original by `amount`
// (0..1). flags bit 0: pigment gathers at colour borders (darker rims);
// bit 1: keep the original luma, only the colour washes.
std::int32_t WatercolorTintRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                               std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, double amount,
                               std::int32_t flags) noexcept;

// Glows of a 4-byte RGBA raster in place, from its alpha: the alpha is
// blurred over `size` pixels (a Gaussian of sigma size / 2; size 0 does
// nothing). Outer glow: the packed colour (red low byte) appears around the
// shapes, under them, with alpha strength * blurred alpha (strength 0..1).
// Inner glow: inside the shapes, near their edges (the outside of the
// raster counts as transparent), the colour is mixed in by strength times
// how much transparency the blur brings in. `mode` and `flags` are unused.
std::int32_t OuterGlowRGBA(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t size, double strength, std::uint32_t colour,
                           std::int32_t mode, std::int32_t flags) noexcept;
std::int32_t InnerGlowRGBA(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t size, double strength, std::uint32_t colour,
                           std::int32_t mode, std::int32_t flags) noexcept;

}  // namespace plr::imaging_lib
