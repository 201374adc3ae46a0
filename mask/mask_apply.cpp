#include "mask/mask_apply.h"

#include <algorithm>

#include "mask/mask_values.h"

namespace plr {

void applyMaskToAlphaRect(const MaskPage& p, std::uint8_t* rgba, std::int32_t stride, std::int32_t x0, std::int32_t y0,
                          std::int32_t x1, std::int32_t y1) noexcept {
    const std::uint16_t* m = pageMask(p);
    if (!m || !rgba) return;
    // Cut to the page; a cut left or top edge moves the start inside the buffer.
    const std::int64_t left = std::max<std::int64_t>(x0, 0), top = std::max<std::int64_t>(y0, 0);
    const std::int64_t right = std::min<std::int64_t>(x1, p.width - 1), bottom = std::min<std::int64_t>(y1, p.height - 1);
    if (left > right || top > bottom) return;
    std::uint8_t* start = rgba + (top - y0) * stride + (left - x0) * 4;
    const std::size_t w = static_cast<std::size_t>(right - left + 1);
    for (std::int64_t y = top; y <= bottom; ++y) {
        std::uint8_t* row = start + (y - top) * stride;
        const std::uint16_t* mr = m + static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) +
                                  static_cast<std::size_t>(left);
        for (std::size_t x = 0; x < w; ++x) row[4 * x + 3] = maskedAlpha(row[4 * x + 3], mr[x]);
    }
}

void applyMaskToAlpha(const MaskPage& p, std::uint8_t* rgba) noexcept {
    applyMaskToAlphaRect(p, rgba, p.width * 4, 0, 0, p.width - 1, p.height - 1);
}

void replaceAlphaRange(std::uint8_t* rgba, std::size_t count, std::int32_t alpha, std::int32_t tolerance,
                       std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t newAlpha) noexcept {
    const std::int32_t t = percentToByteDistance(tolerance);
    const std::int32_t a = std::clamp(alpha, -300, 600);
    const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                   static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(newAlpha)};
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* q = rgba + 4 * i;
        const std::int32_t d = q[3] - a;
        if ((d < 0 ? -d : d) <= t) std::copy_n(pixel, 4, q);
    }
}

}  // namespace plr
