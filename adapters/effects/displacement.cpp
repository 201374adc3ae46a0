#include "adapters/effects/displacement.h"

#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "core/block.h"

namespace plr::effect_lib {
namespace {

constexpr int kBorders[] = {cv::BORDER_CONSTANT, cv::BORDER_WRAP, cv::BORDER_REPLICATE, cv::BORDER_REFLECT};
constexpr std::int32_t kBandRows = 32;

int wrap(std::int64_t i, std::int32_t n) {
    const std::int64_t r = i % n;
    return static_cast<int>(r < 0 ? r + n : r);
}

}  // namespace

std::int32_t BumpMapDisplacement(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                                 void* dst, std::int32_t dstStride, double amount, const std::uint8_t* plane,
                                 std::int32_t planeWidth, std::int32_t planeHeight, std::int32_t edgeMode,
                                 std::uint32_t fillColour) noexcept {
    if (!src || !dst || !plane || src == dst || width < 1 || height < 1 || planeWidth < 1 || planeHeight < 1 ||
        edgeMode < 0 || edgeMode > 3 || !std::isfinite(amount))
        return 0;
    if (std::int64_t{srcStride} < std::int64_t{width} * 4 || std::int64_t{dstStride} < std::int64_t{width} * 4)
        return 0;
    const std::size_t band = std::size_t(width) * std::size_t(kBandRows);
    Block<float> mapX, mapY;
    if (!mapX.allocate(band) || !mapY.allocate(band)) return 0;
    const double scale = amount / 256.0;
    auto g = [&](std::int64_t x, std::int64_t y) {
        return int(plane[std::size_t(wrap(y, planeHeight)) * std::size_t(planeWidth) + std::size_t(wrap(x, planeWidth))]);
    };
    try {
        const cv::Mat in(height, width, CV_8UC4, const_cast<void*>(src), std::size_t(srcStride));
        const cv::Scalar fill(fillColour & 0xFF, (fillColour >> 8) & 0xFF, (fillColour >> 16) & 0xFF,
                              (fillColour >> 24) & 0xFF);
        for (std::int32_t y0 = 0; y0 < height; y0 += kBandRows) {
            const std::int32_t rows = std::min(kBandRows, height - y0);
            for (std::int32_t r = 0; r < rows; ++r) {
                const std::int64_t y = y0 + r;
                float* mx = mapX.data() + std::size_t(r) * std::size_t(width);
                float* my = mapY.data() + std::size_t(r) * std::size_t(width);
                for (std::int32_t x = 0; x < width; ++x) {
                    mx[x] = static_cast<float>(x + scale * (g(x + 1, y) - g(x - 1, y)));
                    my[x] = static_cast<float>(double(y) + scale * (g(x, y + 1) - g(x, y - 1)));
                }
            }
            const cv::Mat mx(rows, width, CV_32FC1, mapX.data()), my(rows, width, CV_32FC1, mapY.data());
            cv::Mat out(rows, width, CV_8UC4, static_cast<std::uint8_t*>(dst) + std::int64_t{y0} * dstStride,
                        std::size_t(dstStride));
            cv::remap(in, out, mx, my, cv::INTER_LINEAR, kBorders[edgeMode], fill);
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace plr::effect_lib
