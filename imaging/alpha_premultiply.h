#pragma once
// Multiplying colour by alpha before a filter and dividing it out after, so
// that filters do not bleed the colour of transparent pixels into visible ones.
#include <cstddef>
#include <cstdint>

namespace plr {

// The reciprocals are fixed double values, not computed: results must match
// to the last bit wherever they are computed.
constexpr double kInv255 = 0.00392156862745098;
constexpr double kInv65535 = 0.000015259021896696422;

// 8-bit rule. Premultiply touches pixels with 0 < alpha < 255:
// v = trunc(alpha * (1/255) * (v + 1)); divide: v = min(255, v * 255 / alpha).
// Large buffers are split over the engine's threads (the result does not
// depend on their number); a failing band is raised on the caller.
void premultiplyRGBA32(std::uint8_t* px, std::size_t count);
void unpremultiplyRGBA32(std::uint8_t* px, std::size_t count);
// Divide for every pixel with alpha != 0, alpha 255 included.
void unpremultiplyRGBA32AllAlphas(std::uint8_t* px, std::size_t count) noexcept;

// 16-bit rule, every pixel with alpha != 0: v = trunc(alpha * (1/65535) * v);
// divide: v = min(65535, v * 65535 / alpha).
void premultiplyRGBA64(std::uint16_t* px, std::size_t count) noexcept;
void unpremultiplyRGBA64(std::uint16_t* px, std::size_t count) noexcept;

// Plain per-pixel formulas, the reference the table-driven paths are checked against.
namespace reference {
std::uint8_t premultiply8(std::uint8_t v, std::uint8_t alpha) noexcept;
std::uint8_t unpremultiply8(std::uint8_t v, std::uint8_t alpha) noexcept;
// The 8-bit rules one pixel at a time on one thread.
void premultiplyRGBA32(std::uint8_t* px, std::size_t count) noexcept;
void unpremultiplyRGBA32(std::uint8_t* px, std::size_t count) noexcept;
}  // namespace reference

}  // namespace plr
