#pragma once
// How the render shows the mask: over each displayed pixel whose composed
// colour is P (16-bit channels), the overlay colour C (widened 8-bit) is
// mixed in by the masking amount. Called by the render while the mask is
// both displayed and enabled. The checkerboard cells are those of the page
// pixel shown (page coordinates >> 5), also when the view is magnified or
// reduced.
#include <cstdint>

#include "mask/mask_state.h"

namespace plr {

// Translucent overlays show at most half of the colour: m' = m / 2 + 0x7FFF.
constexpr std::uint32_t overlayWeight(std::uint16_t m, std::int32_t solid) noexcept {
    return solid == 0 ? m / 2u + 0x7FFFu : m;
}

// One 8-bit output channel: ((m' * P) / 256 + ((0xFFFF - m') * C) / 256) >> 16.
constexpr std::uint8_t overlayChannel(std::uint32_t weight, std::uint16_t composed, std::uint16_t colour) noexcept {
    return static_cast<std::uint8_t>(((weight * composed) / 256u + ((0xFFFFu - weight) * colour) / 256u) >> 16);
}

// The overlay colour of the 32 x 32 checkerboard cell (cellX, cellY) the
// render uses for transparency: cells with an odd index sum take colour 1.
constexpr const std::uint16_t* overlayColour(const MaskOverlaySettings& s, std::int32_t cellX,
                                             std::int32_t cellY) noexcept {
    return ((cellX + cellY) & 1) ? s.colour1 : s.colour2;
}

// Red, green, blue bytes of one displayed pixel. `composed` holds the 16-bit
// red, green, blue of the composed page; (cellX, cellY) is the checkerboard
// cell of the page pixel (its page coordinates >> 5). At 1:1 fully open
// pixels keep the composed colour (its high bytes); the magnified and
// reduced views put every pixel through the formula (`openShowsPlain`
// false), which darkens an open pixel by at most one step.
inline void overlayPixel(const MaskOverlaySettings& s, std::uint16_t m, const std::uint16_t composed[3],
                         std::int32_t cellX, std::int32_t cellY, std::uint8_t out[3],
                         bool openShowsPlain = true) noexcept {
    if (m == 0xFFFF && openShowsPlain) {
        for (int i = 0; i < 3; ++i) out[i] = static_cast<std::uint8_t>(composed[i] >> 8);
        return;
    }
    const std::uint32_t w = overlayWeight(m, s.solid);
    const std::uint16_t* c = overlayColour(s, cellX, cellY);
    for (int i = 0; i < 3; ++i) out[i] = overlayChannel(w, composed[i], c[i]);
}

}  // namespace plr
