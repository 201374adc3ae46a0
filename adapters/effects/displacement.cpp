#include "adapters/effects/displacement.h"

#include <cmath>

#include "adapters/imaging/inverse_sampler.h"

namespace plr::effect_lib {
namespace {

std::int32_t wrap(std::int64_t i, std::int32_t n) noexcept {
    const std::int64_t r = i % n;
    return static_cast<std::int32_t>(r < 0 ? r + n : r);
}

struct Bump {
    const std::uint8_t* plane;
    std::int32_t width, height;
    double scale;  // amount / 256

    int at(std::int64_t x, std::int64_t y) const noexcept {
        return plane[std::size_t(wrap(y, height)) * std::size_t(width) + std::size_t(wrap(x, width))];
    }
};

// Each position moved along the plane's slope there.
void bumpRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    const Bump& b = *static_cast<const Bump*>(context);
    for (std::int32_t x = 0; x < n; ++x) {
        xs[x] = static_cast<float>(x + b.scale * (b.at(x + 1, y) - b.at(x - 1, y)));
        ys[x] = static_cast<float>(double(y) + b.scale * (b.at(x, y + 1) - b.at(x, std::int64_t{y} - 1)));
    }
}

}  // namespace

std::int32_t BumpMapDisplacement(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                                 void* dst, std::int32_t dstStride, double amount, const std::uint8_t* plane,
                                 std::int32_t planeWidth, std::int32_t planeHeight, std::int32_t edgeMode,
                                 std::uint32_t fillColour) noexcept {
    if (!src || !dst || !plane || src == dst || planeWidth < 1 || planeHeight < 1 || edgeMode < 0 || edgeMode > 3 ||
        !std::isfinite(amount))
        return 0;
    const Bump bump{plane, planeWidth, planeHeight, amount / 256.0};
    imaging_lib::SampleSettings settings;
    settings.edge = static_cast<imaging_lib::SampleEdge>(edgeMode);
    settings.fill = fillColour;
    return imaging_lib::InverseMapImage(static_cast<const std::uint8_t*>(src), width, height, srcStride,
                                        static_cast<std::uint8_t*>(dst), dstStride,
                                        imaging_lib::InverseMap{bumpRow, &bump}, settings);
}

}  // namespace plr::effect_lib
