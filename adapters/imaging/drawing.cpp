#include "adapters/imaging/drawing.h"

#include <algorithm>
#include <cmath>

namespace plr::imaging_lib {
namespace {

bool validRaster(const void* p, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride) noexcept {
    return p && w >= 0 && h >= 0 && (bpp == 1 || bpp == 3 || bpp == 4) && std::int64_t{stride} >= std::int64_t{w} * bpp;
}

void fillSpan(std::uint8_t* row, std::int32_t x0, std::int32_t x1, std::int32_t bpp, std::uint32_t colour) noexcept {
    const std::uint8_t c[4] = {std::uint8_t(colour), std::uint8_t(colour >> 8), std::uint8_t(colour >> 16),
                               std::uint8_t(colour >> 24)};
    if (bpp == 1) {
        std::fill(row + x0, row + x1 + 1, c[0]);
        return;
    }
    for (std::int32_t x = x0; x <= x1; ++x)
        for (std::int32_t k = 0; k < bpp; ++k) row[std::int64_t{x} * bpp + k] = c[k];
}

}  // namespace

std::int32_t FillSolidRect(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                           std::int32_t stride, std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom, std::uint32_t colour) noexcept {
    if (!validRaster(pixels, width, height, bytesPerPixel, stride)) return 0;
    const std::int32_t x0 = std::max(left, 0), x1 = std::min(right, width - 1);
    const std::int32_t y0 = std::max(top, 0), y1 = std::min(bottom, height - 1);
    auto* base = static_cast<std::uint8_t*>(pixels);
    for (std::int32_t y = y0; y <= y1 && x0 <= x1; ++y) fillSpan(base + std::int64_t{y} * stride, x0, x1, bytesPerPixel, colour);
    return 1;
}

std::int32_t DrawEllipseOnImage(void* pixels, std::int32_t width, std::int32_t height,
                                std::int32_t bytesPerPixel, std::int32_t stride, std::int32_t cx,
                                std::int32_t cy, std::int32_t rx, std::int32_t ry, std::uint32_t colour) noexcept {
    if (!validRaster(pixels, width, height, bytesPerPixel, stride) || rx < 1 || ry < 1) return 0;
    auto* base = static_cast<std::uint8_t*>(pixels);
    const std::int64_t a2 = std::int64_t{rx} * rx, b2 = std::int64_t{ry} * ry;
    const std::int32_t y0 = std::max<std::int64_t>(std::int64_t{cy} - ry, 0);
    const std::int32_t y1 = std::min<std::int64_t>(std::int64_t{cy} + ry, height - 1);
    // Radii to 2^15 keep every product below 2^62: the edge is found exactly
    // in integers. Larger ones (far beyond any picture) take the half width
    // in double.
    const bool exact = rx <= 32768 && ry <= 32768;
    for (std::int32_t y = y0; y <= y1; ++y) {
        const std::int64_t dy = y - std::int64_t{cy};
        std::int64_t dx;
        if (exact) {
            const std::int64_t room = a2 * b2 - dy * dy * a2;  // dx^2 * b2 must not exceed this
            if (room < 0) continue;
            // Largest dx with dx^2 <= room / b2, found without rounding trouble.
            dx = static_cast<std::int64_t>(std::sqrt(static_cast<double>(room / b2)));
            while (dx > 0 && dx * dx * b2 > room) --dx;
            while ((dx + 1) * (dx + 1) * b2 <= room) ++dx;
        } else {
            const double t = double(dy) / ry, share = 1 - t * t;
            if (share < 0) continue;
            dx = static_cast<std::int64_t>(std::floor(rx * std::sqrt(share)));
        }
        const std::int32_t x0 = std::max<std::int64_t>(cx - dx, 0);
        const std::int32_t x1 = std::min<std::int64_t>(cx + dx, width - 1);
        if (x0 <= x1) fillSpan(base + std::int64_t{y} * stride, x0, x1, bytesPerPixel, colour);
    }
    return 1;
}

}  // namespace plr::imaging_lib
