#pragma once
// The mask applied to the alpha of an RGBA32 exchange buffer, and the
// alpha-range replace that prepares such buffers.
#include <cstddef>
#include <cstdint>

namespace plr {

struct MaskPage;

// alpha by the mask's high byte h: 0 clears, 255 keeps, otherwise
// alpha * (h + 1) >> 8.
constexpr std::uint8_t maskedAlpha(std::uint8_t alpha, std::uint16_t m) noexcept {
    const unsigned h = m >> 8;
    if (h == 0) return 0;
    if (h == 255) return alpha;
    return static_cast<std::uint8_t>((alpha * (h + 1)) >> 8);
}

// `rgba` addresses the pixel at page (x0, y0); rows are `stride` bytes apart;
// (x0, y0)-(x1, y1) inclusive. The rectangle is cut to the page (the buffer
// pointer moves with a cut left or top edge); the mask is used whether or not
// it is enabled.
void applyMaskToAlphaRect(const MaskPage& p, std::uint8_t* rgba, std::int32_t stride, std::int32_t x0, std::int32_t y0,
                          std::int32_t x1, std::int32_t y1) noexcept;
// The whole page, packed (stride width * 4).
void applyMaskToAlpha(const MaskPage& p, std::uint8_t* rgba) noexcept;

// Every pixel whose alpha byte lies within trunc(tolerance * 2.56) of `alpha`
// becomes (red, green, blue, newAlpha) (low bytes of each).
void replaceAlphaRange(std::uint8_t* rgba, std::size_t count, std::int32_t alpha, std::int32_t tolerance,
                       std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t newAlpha) noexcept;

}  // namespace plr
