#include "adapters/imaging/raster_channels.h"

#include <opencv2/core.hpp>

#include "adapters/imaging/cv_raster.h"

namespace plr::imaging_lib {
namespace {

bool validRaster(const void* p, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride) noexcept {
    return p && w > 0 && h > 0 && bpp >= 1 && bpp <= 4 && std::int64_t{stride} >= std::int64_t{w} * bpp;
}

bool validPlane(const void* p, std::int32_t w, std::int32_t stride) noexcept { return p && stride >= w; }

}  // namespace

std::int32_t SplitImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                        std::int32_t srcStride, std::int32_t channel, std::uint8_t* plane,
                        std::int32_t planeStride) noexcept {
    if (!validRaster(src, width, height, bytesPerPixel, srcStride) || !validPlane(plane, width, planeStride) ||
        channel < 0 || channel >= bytesPerPixel)
        return 0;
    try {
        // One channel out of interleaved pixels is OpenCV's mixChannels.
        const cv::Mat in(height, width, CV_8UC(bytesPerPixel), const_cast<void*>(src), std::size_t(srcStride));
        cv::Mat out(height, width, CV_8UC1, plane, std::size_t(planeStride));
        const int pair[2] = {channel, 0};
        cv::mixChannels(&in, 1, &out, 1, pair, 1);
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t CombineImageChannels(const std::uint8_t* plane, std::int32_t width, std::int32_t height,
                                  std::int32_t planeStride, void* dst, std::int32_t bytesPerPixel,
                                  std::int32_t dstStride, std::uint32_t channelMask) noexcept {
    if (!validRaster(dst, width, height, bytesPerPixel, dstStride) || !validPlane(plane, width, planeStride)) return 0;
    try {
        const cv::Mat in(height, width, CV_8UC1, const_cast<std::uint8_t*>(plane), std::size_t(planeStride));
        cv::Mat out(height, width, CV_8UC(bytesPerPixel), dst, std::size_t(dstStride));
        int pairs[8];
        int n = 0;
        for (int c = 0; c < bytesPerPixel; ++c)
            if (channelMask & (1u << c)) {
                pairs[2 * n] = 0;
                pairs[2 * n + 1] = c;
                ++n;
            }
        if (n) cv::mixChannels(&in, 1, &out, 1, pairs, std::size_t(n));
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t ReorderImageChannels(void* image, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                  std::int32_t stride, const std::int32_t* order) noexcept {
    if (!validRaster(image, width, height, bytesPerPixel, stride) || !order) return 0;
    for (int c = 0; c < bytesPerPixel; ++c)
        if (order[c] < 0 || order[c] >= bytesPerPixel) return 0;
    auto* row = static_cast<std::uint8_t*>(image);
    for (std::int32_t y = 0; y < height; ++y, row += stride)
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* p = row + std::int64_t{x} * bytesPerPixel;
            std::uint8_t old[4];
            for (int c = 0; c < bytesPerPixel; ++c) old[c] = p[c];
            for (int c = 0; c < bytesPerPixel; ++c) p[c] = old[order[c]];
        }
    return 1;
}

std::int32_t ApplyLUTsToImage40(void* image, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                std::int32_t stride, const std::uint8_t* lut0, const std::uint8_t* lut1,
                                const std::uint8_t* lut2, const std::uint8_t* lut3) noexcept {
    if (!validRaster(image, width, height, bytesPerPixel, stride) || bytesPerPixel == 2) return 0;
    const std::uint8_t* tables[4] = {lut0, lut1, lut2, lut3};
    // One interleaved table of bytesPerPixel channels; absent tables are the identity.
    std::uint8_t lut[256 * 4];
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < bytesPerPixel; ++c)
            lut[v * bytesPerPixel + c] = tables[c] ? tables[c][v] : static_cast<std::uint8_t>(v);
    try {
        cv::Mat img(height, width, CV_8UC(bytesPerPixel), image, std::size_t(stride));
        const cv::Mat table(1, 256, CV_8UC(bytesPerPixel), lut);
        cv::LUT(img, table, img);
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace plr::imaging_lib
