#include "adapters/imaging/raster_geometry_reference.h"

#include <cstring>

namespace plr::reference {

std::int32_t quickRotateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                              void* dst, std::int32_t dstStride, std::int32_t selector,
                              std::int32_t bytesPerPixel) noexcept {
    if (!src || !dst || width < 1 || height < 1 || bytesPerPixel < 1 || bytesPerPixel > 8) return 0;
    if (selector < 0 || selector > 2) return 0;
    const bool quarter = selector != 1;
    const std::int32_t dw = quarter ? height : width, dh = quarter ? width : height;
    const auto* s = static_cast<const std::uint8_t*>(src);
    auto* d = static_cast<std::uint8_t*>(dst);
    for (std::int32_t y = 0; y < dh; ++y)
        for (std::int32_t x = 0; x < dw; ++x) {
            // The source pixel destination (x, y) shows.
            std::int64_t sx = width - 1 - x, sy = height - 1 - y;  // half turn
            if (selector == 0) sx = y, sy = height - 1 - x;         // clockwise
            if (selector == 2) sx = width - 1 - y, sy = x;          // anticlockwise
            std::memcpy(d + std::int64_t{y} * dstStride + std::int64_t{x} * bytesPerPixel,
                        s + sy * srcStride + sx * bytesPerPixel, std::size_t(bytesPerPixel));
        }
    return 1;
}

}  // namespace plr::reference
