#include "adapters/effects/transforms.h"

#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/filters_hash.h"
#include "core/block.h"

namespace plr::effect_lib {
namespace {

// Position p folded into 0..n - 1 (pixel centres) by a transform's edge mode.
double fold(double p, std::int32_t n, std::int32_t mode) noexcept {
    const double last = n - 1;
    switch (mode) {
        case 1: {
            const double r = std::fmod(p, double(n));
            return r < 0 ? r + n : r;
        }
        case 2: return p < 0 ? 0 : p > last ? last : p;
        case 3: {
            if (n == 1) return 0;
            const double period = 2.0 * n;
            double r = std::fmod(p + 0.5, period);
            if (r < 0) r += period;
            return (r < n ? r : period - r) - 0.5;
        }
        default: return p;
    }
}

// Where destination (x, y) looks in the picture before transform t.
void inverse(const Transform& t, double& x, double& y) noexcept {
    static constexpr void (*kInverse[])(const Transform&, double&, double&) noexcept = {
        [](const Transform& o, double& px, double& py) noexcept {  // Offset
            px -= o.a;
            py -= o.b;
        },
        [](const Transform& r, double& px, double& py) noexcept {  // Random
            const auto span = static_cast<std::uint32_t>(2.0 * r.a + 1.0);
            const auto ix = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(px + 0.5)));
            const auto iy = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(py + 0.5)));
            px += static_cast<double>(imaging_lib::hash3(ix, iy, 1) % span) - r.a;
            py += static_cast<double>(imaging_lib::hash3(ix, iy, 2) % span) - r.a;
        },
    };
    kInverse[static_cast<int>(t.kind)](t, x, y);
    x = fold(x, t.width, t.edgeMode);
    y = fold(y, t.height, t.edgeMode);
}

constexpr int kBorders[] = {cv::BORDER_CONSTANT, cv::BORDER_WRAP, cv::BORDER_REPLICATE, cv::BORDER_REFLECT};
constexpr std::int32_t kBandRows = 32;

}  // namespace

std::int32_t ClearAllTransforms(TransformList& list) noexcept {
    list.count = 0;
    return 1;
}

std::int32_t AddOffsetTransform(TransformList& list, std::int32_t width, std::int32_t height, double dx, double dy,
                                std::int32_t edgeMode) noexcept {
    if (list.count >= TransformList::kCapacity || width < 1 || height < 1 || !std::isfinite(dx) || !std::isfinite(dy))
        return 0;
    Transform& t = list.items[list.count++];
    t = Transform{TransformKind::Offset, edgeMode, width, height, dx, dy};
    return 1;
}

std::int32_t AddRandomTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t amount,
                                std::int32_t edgeMode) noexcept {
    if (list.count >= TransformList::kCapacity || width < 1 || height < 1 || amount < 0) return 0;
    Transform& t = list.items[list.count++];
    t = Transform{TransformKind::Random, edgeMode, width, height, double(amount), 0.0};
    return 1;
}

std::int32_t TransformProcess(const TransformList& list, const void* src, std::int32_t width, std::int32_t height,
                              std::int32_t srcStride, void* dst, std::int32_t dstStride, std::int32_t bytesPerPixel,
                              std::int32_t edgeMode, std::uint32_t fillColour) noexcept {
    if (!src || !dst || src == dst || bytesPerPixel != 4 || width < 1 || height < 1 || edgeMode < 0 || edgeMode > 3)
        return 0;
    if (std::int64_t{srcStride} < std::int64_t{width} * 4 || std::int64_t{dstStride} < std::int64_t{width} * 4)
        return 0;
    const std::size_t band = std::size_t(width) * std::size_t(kBandRows);
    Block<float> mapX, mapY;
    if (!mapX.allocate(band) || !mapY.allocate(band)) return 0;
    try {
        const cv::Mat in(height, width, CV_8UC4, const_cast<void*>(src), std::size_t(srcStride));
        const cv::Scalar fill(fillColour & 0xFF, (fillColour >> 8) & 0xFF, (fillColour >> 16) & 0xFF,
                              (fillColour >> 24) & 0xFF);
        for (std::int32_t y0 = 0; y0 < height; y0 += kBandRows) {
            const std::int32_t rows = std::min(kBandRows, height - y0);
            for (std::int32_t r = 0; r < rows; ++r)
                for (std::int32_t x = 0; x < width; ++x) {
                    double sx = x, sy = y0 + r;
                    for (int i = list.count - 1; i >= 0; --i) inverse(list.items[i], sx, sy);
                    mapX[std::size_t(r) * std::size_t(width) + std::size_t(x)] = static_cast<float>(sx);
                    mapY[std::size_t(r) * std::size_t(width) + std::size_t(x)] = static_cast<float>(sy);
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
