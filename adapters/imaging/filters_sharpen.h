#pragma once
// Filters family: sharpening, edges and relief. Two-raster calls read `src`
// and write `dst` of the same size (own strides, no overlap); rasters of 1, 3
// or 4 bytes a pixel, grey planes of 1. Every call returns 1 on success and
// 0, leaving its output untouched, for bad arguments or when work memory
// cannot be had. `channelMask` bit c works on channel c; the others are
// copied.
#include <cstdint>

namespace plr::imaging_lib {

// Sharpen: v + (v - mean of the 3 x 3 square) * amount / 25 (amount 0..100;
// 100 is a strong crisping, 0 copies). Results are rounded and held to
// 0..255, here and in the two calls below.
std::int32_t SharpenImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                          std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t amount,
                          std::int32_t channelMask) noexcept;

// Sharpen more: v + (v - Gaussian of sigma radius) * strength, radius 0
// counting as 1: a wide, soft sharpening that lifts local contrast.
std::int32_t SharpenImageRadius(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                                double strength, std::int32_t channelMask) noexcept;

// Unsharp mask: blurred = Gaussian of sigma `radius`; where |v - blurred|
// exceeds `threshold` the value becomes v + (v - blurred) * amount, elsewhere
// it is copied (so flat, noisy areas stay as they were; a negative threshold
// sharpens everywhere).
std::int32_t UnsharpMaskImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t threshold,
                              double amount, double radius, std::int32_t channelMask) noexcept;

// Emboss of a grey height plane into a 3-byte raster: the surface lit from
// `azimuth` (radians, 0 = from the right, counter-clockwise) at `elevation`
// (radians above the horizon), slopes scaled by `depth`; flat ground comes
// out at the light's height, sin(elevation) * 255, in all three channels.
std::int32_t EmbossRGB(const std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t greyStride,
                       std::uint8_t* dst, std::int32_t dstStride, double azimuth, double elevation,
                       std::int32_t depth) noexcept;

// Canny edges of a grey plane into a grey plane (255 on an edge, 0 off):
// Gaussian of `sigma`, then hysteresis between the two thresholds given as
// fractions of the strongest gradient (their order does not matter).
std::int32_t CannyEdgeDetector(const std::uint8_t* grey, std::int32_t width, std::int32_t height,
                               std::int32_t greyStride, std::uint8_t* dst, std::int32_t dstStride, double sigma,
                               double low, double high) noexcept;

// Fingerprint: ridges that follow the picture's contours, like the whorls of
// a fingertip: out = 128 + 127 cos(2 pi frequency g / 255) of the grey plane
// g, softened first by a Gaussian of sigma `softness` (0 none).
// `frequency` is the ridge count over the full grey range (at least 1);
// `invert` low byte 1 swaps ridges and valleys.
std::int32_t Fingerprint(const std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t greyStride,
                         std::uint8_t* dst, std::int32_t dstStride, double frequency, std::int32_t softness,
                         std::int32_t invert) noexcept;

// Bevel in place: a frame `width` pixels wide is raised from the picture's
// border. Each frame pixel faces outwards (left, top, right or bottom); a
// light from `lightAngle` degrees (0 = from the right, counter-clockwise,
// taken modulo 360) lightens faces turned to it by up to `highlight` and
// darkens those turned away by up to `shadow` (0..255). `highlightDepth` and
// `shadowDepth` (0..255) round the profile: 0 a flat chamfer, 255 a rounded
// edge fading towards the inside. `style` and `flags` are unused.
std::int32_t ShadeBevelEdge(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                            std::int32_t stride, std::int32_t bevelWidth, std::int32_t style, std::int32_t flags,
                            double highlight, double shadow, double highlightDepth, double shadowDepth,
                            double lightAngle) noexcept;

// Crackle: the fine cracks of old varnish over the picture. Cells of about
// `cellSize` pixels (at least 4) are scattered from `pattern` (any value
// gives another, repeatable layout); along the cell borders the picture is
// darkened into thin cracks, with a light rim on their lower side when
// `raised` has its low byte 1.
std::int32_t CrackleRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                        std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t pattern,
                        std::int32_t cellSize, std::int32_t raised) noexcept;

}  // namespace plr::imaging_lib
