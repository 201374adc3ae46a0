#pragma once
// Repacking between RGB24 and RGBA32 around mask work: width * height
// pixels, tightly packed, destination first. No mask involved.
#include <cstddef>
#include <cstdint>

namespace plr {

// Each destination pixel's three bytes = the source alpha.
void rgbAlphaToRgb(std::uint8_t* rgb, std::size_t count, const std::uint8_t* rgba) noexcept;
// Destination alpha = (b0 + b1 + b2) / 3 of the source; colour untouched.
void rgbToRgbAlpha(std::uint8_t* rgba, std::size_t count, const std::uint8_t* rgb) noexcept;
// Copies the three colour bytes; destination alpha untouched.
void rgbToRgba(std::uint8_t* rgba, std::size_t count, const std::uint8_t* rgb) noexcept;
// Copies the three colour bytes, drops alpha.
void rgbaToRgb(std::uint8_t* rgb, std::size_t count, const std::uint8_t* rgba) noexcept;

}  // namespace plr
