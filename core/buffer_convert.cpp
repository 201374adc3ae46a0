#include "core/buffer_convert.h"

#include <cstddef>

#include "core/pixel_rows.h"

namespace plr {

bool convertRGBA64Block(Narrow to, const std::uint8_t* src, std::int32_t srcStride, std::uint8_t* dst,
                        std::int32_t dstStride, std::int32_t width, std::int32_t height) {
    if (!src || !dst || width < 0 || height < 0) return false;
    const std::size_t w = static_cast<std::size_t>(width);
    const std::ptrdiff_t ss = srcStride, ds = dstStride;
    for (std::int32_t y = 0; y < height; ++y, src += ss, dst += ds) {
        if (to == Narrow::RGBA32)
            narrowRow(src, dst, w * 4);
        else
            narrowRowToRGB24(src, dst, w);
    }
    return true;
}

bool convertRGBA64Rect(Narrow to, const std::uint8_t* src, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::int32_t srcRowPixels, std::uint8_t* dst) {
    if (!src || !dst || x < 0 || y < 0 || width < 0 || height < 0) return false;
    if (std::int64_t{x} + width > srcRowPixels) return false;
    const std::int64_t srcStride = std::int64_t{srcRowPixels} * 8;
    const std::int64_t dstStride = std::int64_t{width} * (to == Narrow::RGBA32 ? 4 : 3);
    if (srcStride > INT32_MAX || dstStride > INT32_MAX) return false;
    const std::uint8_t* first = src + static_cast<std::ptrdiff_t>((std::int64_t{y} * srcRowPixels + x) * 8);
    return convertRGBA64Block(to, first, static_cast<std::int32_t>(srcStride), dst,
                              static_cast<std::int32_t>(dstStride), width, height);
}

}  // namespace plr
