#include "mask/mask_data.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "mask/mask_values.h"

namespace plr {

void invertMask(const MaskPage& p) noexcept {
    std::uint16_t* m = pageMask(p);
    if (!m) return;
    const std::size_t n = p.pixelCount();
    for (std::size_t i = 0; i < n; ++i) m[i] = static_cast<std::uint16_t>(0xFFFF - m[i]);
}

void clearMask(const MaskPage& p, std::int32_t red, std::int32_t green, std::int32_t blue) noexcept {
    std::uint16_t* m = pageMask(p);
    if (!m) return;
    const std::int64_t grey = (std::int64_t{red} + green + blue) / 3;
    std::fill_n(m, p.pixelCount(), greyToMask(grey));
}

void getMaskData16(const MaskPage& p, void* destination) noexcept {
    const std::uint16_t* m = pageMask(p);
    if (!m || !destination) return;
    std::memcpy(destination, m, p.pixelCount() * 2);
}

void setMaskData16(const MaskPage& p, const void* source) noexcept {
    std::uint16_t* m = pageMask(p);
    if (!m || !source) return;
    std::memcpy(m, source, p.pixelCount() * 2);
}

std::int32_t maskAmountAt(const MaskPage& p, std::int32_t x, std::int32_t y) noexcept {
    if (!p.layerHasPixels || !p.mask.enabled) return 0;
    const std::uint16_t* m = pageMask(p);
    if (!m || x < 0 || y < 0 || x >= p.width || y >= p.height) return 0;
    return 0xFFFF - m[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)];
}

void saveMask(const MaskPage& p, std::uint8_t* rgb, std::int32_t stride) noexcept {
    const std::uint16_t* m = pageMask(p);
    if (!m || !rgb) return;
    const std::size_t w = static_cast<std::size_t>(p.width);
    for (std::int32_t y = 0; y < p.height; ++y) {
        std::uint8_t* row = rgb + static_cast<std::ptrdiff_t>(y) * stride;
        const std::uint16_t* mr = m + static_cast<std::size_t>(y) * w;
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint8_t v = static_cast<std::uint8_t>(255 - (mr[x] >> 8));
            row[3 * x] = v;
            row[3 * x + 1] = v;
            row[3 * x + 2] = v;
        }
    }
}

void loadMask(const MaskPage& p, const std::uint8_t* rgb, std::int32_t stride, std::int32_t width, std::int32_t height) noexcept {
    std::uint16_t* m = pageMask(p);
    if (!m || !rgb || width <= 0 || height <= 0) return;
    const std::int32_t w = std::min(width, p.width), h = std::min(height, p.height);
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* row = rgb + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint16_t* mr = m + static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width);
        for (std::int32_t x = 0; x < w; ++x) {
            const unsigned g8 = (unsigned{row[3 * x]} + row[3 * x + 1] + row[3 * x + 2]) / 3u;
            mr[x] = g8 == 0 ? 0xFFFF : static_cast<std::uint16_t>(0xFF00 - g8 * 256);
        }
    }
}

}  // namespace plr
