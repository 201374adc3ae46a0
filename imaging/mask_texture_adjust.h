#pragma once
// Folding the selection mask and the paper texture into the alpha of an
// RGBA32 result before it is merged into a layer, so filters, pastes and drawn
// shapes respect both.
#include <cstddef>
#include <cstdint>

namespace plr {

// The planes that decide how much of each page pixel an operation may touch:
// the paper texture (null: none) and the mask (null: disabled), both one value
// per page pixel, and the page's size.
struct PageCoverage {
    const std::uint8_t* texture = nullptr;
    const std::uint16_t* mask = nullptr;
    std::int32_t width = 0, height = 0;
};

// Coverage 0..0xFFFF of one page pixel from its texture byte (when a texture
// exists) and mask value (when the mask is enabled).
inline std::uint32_t maskTextureCoverage(const std::uint8_t* texture, const std::uint16_t* mask,
                                         std::size_t index) noexcept {
    std::uint32_t k = 0xFFFF;
    if (texture && texture[index] < 128) k = (texture[index] * 131070u) >> 8;
    if (mask && mask[index] != 0xFFFF) k = k * mask[index] / 65536u;
    return k;
}

// alpha = trunc(k * (1/65535) * alpha)
std::uint8_t scaleAlphaByCoverage(std::uint8_t alpha, std::uint32_t k) noexcept;

// A page-sized packed buffer of width x height pixels. Rows and columns
// beyond the page are left alone.
void adjustRGBA32ByMaskAndTexture(const PageCoverage& page, std::uint8_t* buffer, std::int32_t width, std::int32_t height) noexcept;
// A width x height packed buffer whose top-left pixel lies at page (x, y);
// only its on-page part is adjusted.
void adjustRGBA32RectByMaskAndTexture(const PageCoverage& page, std::uint8_t* buffer, std::int32_t x, std::int32_t y,
                                      std::int32_t width, std::int32_t height) noexcept;

}  // namespace plr
