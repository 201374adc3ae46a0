#include "adapters/imaging/filters_common.h"

namespace plr::imaging_lib {

bool validRaster(const RasterArgs& r) noexcept {
    return r.pixels && r.width > 0 && r.height > 0 && r.bytesPerPixel >= 1 && r.bytesPerPixel <= 4 &&
           static_cast<std::int64_t>(r.stride) >= static_cast<std::int64_t>(r.width) * r.bytesPerPixel;
}

void keepUnmaskedChannels(const std::uint8_t* in, std::int32_t inStride, std::uint8_t* out, std::int32_t outStride,
                          std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                          std::int32_t channelMask) noexcept {
    const int all = (1 << bytesPerPixel) - 1;
    if ((channelMask & all) == all) return;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = in + std::int64_t{y} * inStride;
        std::uint8_t* d = out + std::int64_t{y} * outStride;
        for (std::int32_t x = 0; x < width; ++x)
            for (int c = 0; c < bytesPerPixel; ++c)
                if (!(channelMask & (1 << c))) d[x * bytesPerPixel + c] = s[x * bytesPerPixel + c];
    }
}

void mixWithInput(const std::uint8_t* in, std::int32_t inStride, std::uint8_t* out, std::int32_t outStride,
                  std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel, std::int32_t channelMask,
                  double weight) noexcept {
    if (weight >= 1.0) return;
    // 16-bit fixed-point weight: the same bytes wherever it runs.
    const int w = weight <= 0.0 ? 0 : static_cast<int>(weight * 65536.0);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = in + std::int64_t{y} * inStride;
        std::uint8_t* d = out + std::int64_t{y} * outStride;
        for (std::int32_t x = 0; x < width; ++x)
            for (int c = 0; c < bytesPerPixel; ++c) {
                if (!(channelMask & (1 << c))) continue;
                const int i = x * bytesPerPixel + c;
                d[i] = static_cast<std::uint8_t>(s[i] + (((d[i] - s[i]) * w + 32768) >> 16));
            }
    }
}

}  // namespace plr::imaging_lib
