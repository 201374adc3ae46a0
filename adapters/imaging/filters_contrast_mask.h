#pragma once
// Filters family: the contrast mask, a darkroom technique: a soft, inverted
// grey copy of the picture laid over it in soft light opens the shadows and
// holds back the highlights while the fine detail stays.
#include <cstdint>

namespace plr::imaging_lib {

// In place on a raster of 3 or 4 bytes a pixel (alpha untouched): the mask is
// 255 - luma blurred by a Gaussian of sigma `radius` (below 0.5: no blur;
// held to the longer side of the picture);
// each colour value a (0..1) under mask value b becomes
// (1 - 2b) a^2 + 2 b a, rounded. `strong` low byte 1 lays the mask twice.
// `flags` is unused. Returns 0, untouched, for bad arguments or without work
// memory.
std::int32_t ContrastMaskImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                               std::int32_t stride, std::int32_t strong, double radius, std::int32_t flags) noexcept;

// The soft-light value of colour byte a under mask byte b, rounded: the rule
// above, the plain reference of the table the call builds.
std::uint8_t softLightByte(std::uint8_t a, std::uint8_t b) noexcept;

}  // namespace plr::imaging_lib
