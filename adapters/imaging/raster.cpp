#include "adapters/imaging/raster.h"

#include <algorithm>
#include <cstring>

namespace plr::imaging_lib {

std::int32_t OverlayImage(const void* src, std::int32_t width, std::int32_t height,
                          std::int32_t bytesPerPixel, std::int32_t srcStride, void* dst,
                          std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                          std::int32_t x, std::int32_t y, double opacity) noexcept {
    if (!src || !dst || width < 0 || height < 0 || bytesPerPixel <= 0 || dstWidth < 0 || dstHeight < 0)
        return 0;
    // Clip against the destination; skip source pixels left of or above it.
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + width, dstWidth);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + height, dstHeight);
    if (x1 <= x0 || y1 <= y0) return 1;
    const std::size_t rowBytes = static_cast<std::size_t>(x1 - x0) * static_cast<std::size_t>(bytesPerPixel);
    const auto* s = static_cast<const std::uint8_t*>(src) + (y0 - y) * srcStride + (x0 - x) * bytesPerPixel;
    auto* d = static_cast<std::uint8_t*>(dst) + y0 * dstStride + x0 * bytesPerPixel;
    if (opacity >= 1.0) {
        // Whole rows on both sides: one block, which lets the C library pick
        // its large-copy strategy.
        if (static_cast<std::int64_t>(rowBytes) == srcStride && srcStride == dstStride) {
            std::memmove(d, s, rowBytes * static_cast<std::size_t>(y1 - y0));
            return 1;
        }
        for (std::int64_t r = y0; r < y1; ++r, s += srcStride, d += dstStride) std::memmove(d, s, rowBytes);
        return 1;
    }
    const double a = opacity <= 0.0 ? 0.0 : opacity;
    for (std::int64_t r = y0; r < y1; ++r, s += srcStride, d += dstStride)
        for (std::size_t i = 0; i < rowBytes; ++i)
            d[i] = static_cast<std::uint8_t>(d[i] + static_cast<int>((s[i] - d[i]) * a));
    return 1;
}

std::int32_t OverlayImage40(void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t bytesPerPixel,
                            std::int32_t dstStride, const void* src, std::int32_t width, std::int32_t height,
                            std::int32_t srcStride, std::int32_t x, std::int32_t y, double opacity,
                            std::int32_t transparentMode, std::uint32_t transparentColour,
                            std::int32_t reserved) noexcept {
    if (transparentMode != 0 || transparentColour != 0 || reserved != 0) return 0;
    return OverlayImage(src, width, height, bytesPerPixel, srcStride, dst, dstWidth, dstHeight, dstStride, x, y,
                        opacity);
}

std::int32_t RGBAToBGRA(void* pixels, std::int32_t width, std::int32_t height, std::int32_t stride) noexcept {
    if (!pixels || width < 0 || height < 0) return 0;
    auto* row = static_cast<std::uint8_t*>(pixels);
    for (std::int32_t y = 0; y < height; ++y, row += stride)
        for (std::int32_t x = 0; x < width; ++x) std::swap(row[x * 4], row[x * 4 + 2]);
    return 1;
}

}  // namespace plr::imaging_lib
