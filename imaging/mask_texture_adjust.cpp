#include "imaging/mask_texture_adjust.h"

#include <algorithm>

#include "imaging/alpha_premultiply.h"

namespace plr {

std::uint8_t scaleAlphaByCoverage(std::uint8_t alpha, std::uint32_t k) noexcept {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(k * kInv65535 * alpha));
}

namespace {

// Adjusts buffer columns [c0, c1) of rows [r0, r1), where buffer pixel
// (c, r) lies on page pixel (c + dx, r + dy).
void adjustRegion(const PageCoverage& page, std::uint8_t* buffer, std::int32_t bufferWidth, std::int32_t r0, std::int32_t r1,
                  std::int32_t c0, std::int32_t c1, std::int32_t dx, std::int32_t dy) noexcept {
    const std::uint8_t* texture = page.texture;
    const std::uint16_t* mask = page.mask;
    if (!texture && !mask) return;
    for (std::int32_t r = r0; r < r1; ++r) {
        std::uint8_t* row = buffer + static_cast<std::size_t>(r) * static_cast<std::size_t>(bufferWidth) * 4;
        const std::size_t pageRow = static_cast<std::size_t>(r + dy) * static_cast<std::size_t>(page.width);
        for (std::int32_t c = c0; c < c1; ++c) {
            const std::uint32_t k = maskTextureCoverage(texture, mask, pageRow + static_cast<std::size_t>(c + dx));
            if (k != 0xFFFF) row[c * 4 + 3] = scaleAlphaByCoverage(row[c * 4 + 3], k);
        }
    }
}

}  // namespace

void adjustRGBA32ByMaskAndTexture(const PageCoverage& page, std::uint8_t* buffer, std::int32_t width, std::int32_t height) noexcept {
    if (!buffer || width <= 0 || height <= 0) return;
    adjustRegion(page, buffer, width, 0, std::min(height, page.height), 0, std::min(width, page.width), 0, 0);
}

void adjustRGBA32RectByMaskAndTexture(const PageCoverage& page, std::uint8_t* buffer, std::int32_t x, std::int32_t y,
                                      std::int32_t width, std::int32_t height) noexcept {
    if (!buffer || width <= 0 || height <= 0) return;
    const std::int64_t left = std::max<std::int64_t>(0, x), top = std::max<std::int64_t>(0, y);
    const std::int64_t right = std::min<std::int64_t>(page.width, std::int64_t{x} + width);
    const std::int64_t bottom = std::min<std::int64_t>(page.height, std::int64_t{y} + height);
    if (right <= left || bottom <= top) return;
    adjustRegion(page, buffer, width, static_cast<std::int32_t>(top - y), static_cast<std::int32_t>(bottom - y),
                 static_cast<std::int32_t>(left - x), static_cast<std::int32_t>(right - x), x, y);
}

}  // namespace plr
