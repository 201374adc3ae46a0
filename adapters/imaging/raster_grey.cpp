#include "adapters/imaging/raster_grey.h"

#include <cstring>

namespace plr::imaging_lib {

std::int32_t ImageToGrayScale8Bit(const void* src, std::int32_t width, std::int32_t height,
                                  std::int32_t bytesPerPixel, std::int32_t srcStride, std::uint8_t* grey,
                                  std::int32_t greyStride, std::int32_t /*flags*/) noexcept {
    if (!src || !grey || width < 0 || height < 0) return 0;
    if (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4) return 0;
    const auto* s = static_cast<const std::uint8_t*>(src);
    for (std::int32_t y = 0; y < height; ++y, s += srcStride, grey += greyStride) {
        if (bytesPerPixel == 1) {
            std::memcpy(grey, s, static_cast<std::size_t>(width));
            continue;
        }
        const std::uint8_t* p = s;
        for (std::int32_t x = 0; x < width; ++x, p += bytesPerPixel)
            grey[x] = static_cast<std::uint8_t>((77u * p[0] + 150u * p[1] + 29u * p[2] + 128u) >> 8);
    }
    return 1;
}

}  // namespace plr::imaging_lib
