#pragma once
// Filters family: noise and generated texture. Every random draw comes from
// the C run-time generator (core/crt_random.h) seeded with the call's `seed`
// and from integer hashing, and the arithmetic uses only operations that
// round the same everywhere, so the same arguments give the same picture on
// every platform and build. Rasters of 3 or 4 bytes a pixel unless said
// otherwise; alpha is never changed. Every call returns 1 on success and 0,
// changing nothing, for bad arguments.
#include <cstdint>

namespace plr::imaging_lib {

// Additive noise in place on the channels of `channelMask` (colour only; bit
// 3 is ignored), centred on 0 so the mean brightness stays:
//   Gaussian: normal with the given variance (an exact sum of four uniform
//     draws), shifted by `mean`;
//   uniform: flat over +-sqrt(3 variance);
//   negative exponential and Rayleigh: those distributions with the given
//     variance, less their mean (bright specks on a slightly darker ground).
// `mono` low byte 1 adds one draw to every channel of a pixel (grey grain).
std::int32_t AddGaussianNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, double variance, std::int32_t mean, std::int32_t reserved,
                              std::int32_t mono, std::int32_t channelMask, std::int32_t seed) noexcept;
std::int32_t AddUniformNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                             std::int32_t stride, double variance, std::int32_t mean, std::int32_t reserved,
                             std::int32_t mono, std::int32_t channelMask, std::int32_t seed) noexcept;
std::int32_t AddNegativeExpNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                 std::int32_t stride, double variance, std::int32_t mono, std::int32_t channelMask,
                                 std::int32_t seed) noexcept;
std::int32_t AddRayleighNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, double variance, std::int32_t mono, std::int32_t channelMask,
                              std::int32_t seed) noexcept;

// Coloured noise in place: every pixel draws n in 0..1; mode 0 moves it
// n * amount percent of the way to the packed colour (red low byte), specks
// of paint; any other mode adds grain of the colour, +-amount percent of it.
std::int32_t GenerateColoredNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                  std::int32_t stride, std::uint32_t colour, std::int32_t amount, std::int32_t mode,
                                  std::int32_t seed) noexcept;

// Fractal value noise into a grey plane: `octaves` (1..12) layers of smoothly
// interpolated lattice values, the first with cells of 2 + zoom * max(w, h)
// / 40 pixels (zoom 0..10), each next one half the size with `persistence`
// (0..1) times the amplitude; spread over 0..255.
std::int32_t GenerateHugoNoise(std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t stride,
                               std::int32_t octaves, double zoom, double persistence, std::int32_t seed) noexcept;
// Gradient (Perlin) noise into a grey plane: octaves from a quarter of the
// larger side down to 2 pixels, amplitudes falling by `persistence` (0..1).
std::int32_t GeneratePerlinNoise(std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t stride,
                                 double persistence, std::int32_t seed) noexcept;

// Halftone in place: round dots on a grid of `cell` pixels whose area follows
// the darkness of the cell, anti-aliased. `mono` low byte 1: black dots on
// white from the luma on a 45-degree screen; otherwise one screen per colour
// channel (15, 75 and 0 degrees), like the inks of a print.
std::int32_t HalftoneImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t cell, std::int32_t mono) noexcept;

// Mosaic in place: every `size` x `size` tile (from the top-left) takes the
// mean of its pixels, all channels.
std::int32_t MosaicImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::int32_t size) noexcept;

}  // namespace plr::imaging_lib
