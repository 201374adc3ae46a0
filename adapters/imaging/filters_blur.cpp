#include "adapters/imaging/filters_blur.h"

#include <cmath>
#include <cstring>

#include "core/block.h"
#include "core/sizes.h"

namespace plr::imaging_lib {
namespace {

constexpr int kDirectReach = 24;

// One separable pass along rows (step 1 between neighbours, `count` along the
// line, `lines` lines `lineStep` apart) with an integer kernel of 2*half+1
// weights summing to 65536. Edges clamp.
void kernelPass(const std::uint8_t* in, std::uint8_t* out, std::int32_t count, std::int32_t lines,
                std::int64_t along, std::int64_t lineStep, const std::uint32_t* k, int half) {
    for (std::int32_t l = 0; l < lines; ++l) {
        const std::uint8_t* s = in + l * lineStep;
        std::uint8_t* d = out + l * lineStep;
        for (std::int32_t i = 0; i < count; ++i) {
            std::uint32_t sum = 1u << 15;
            for (int t = -half; t <= half; ++t) {
                std::int32_t j = i + t;
                j = j < 0 ? 0 : j >= count ? count - 1 : j;
                sum += k[t + half] * s[j * along];
            }
            d[i * along] = static_cast<std::uint8_t>(sum >> 16);
        }
    }
}

// Box mean of width 2*half+1 along lines, edges clamped, rounded to nearest.
void boxPass(const std::uint8_t* in, std::uint8_t* out, std::int32_t count, std::int32_t lines,
             std::int64_t along, std::int64_t lineStep, int half) {
    const std::uint32_t size = 2u * half + 1u;
    for (std::int32_t l = 0; l < lines; ++l) {
        const std::uint8_t* s = in + l * lineStep;
        std::uint8_t* d = out + l * lineStep;
        auto at = [&](std::int64_t j) { return s[(j < 0 ? 0 : j >= count ? count - 1 : j) * along]; };
        std::uint32_t sum = 0;
        for (int t = -half; t <= half; ++t) sum += at(t);
        for (std::int32_t i = 0; i < count; ++i) {
            d[i * along] = static_cast<std::uint8_t>((sum + size / 2) / size);
            sum += at(std::int64_t{i} + half + 1);
            sum -= at(std::int64_t{i} - half);
        }
    }
}

}  // namespace

std::int32_t GaussianBlurImage(const void* src, void* dst, std::int32_t width, std::int32_t height,
                               std::int32_t bytesPerPixel, std::int32_t stride, double radius,
                               std::int32_t /*flags*/) noexcept {
    if (!src || !dst || width < 0 || height < 0 || (bytesPerPixel != 1 && bytesPerPixel != 3 && bytesPerPixel != 4))
        return 0;
    if (std::int64_t{stride} < std::int64_t{width} * bytesPerPixel) return 0;
    const auto* in = static_cast<const std::uint8_t*>(src);
    auto* out = static_cast<std::uint8_t*>(dst);
    const std::size_t bytes = saturatingProduct(static_cast<std::uint64_t>(stride), static_cast<std::uint64_t>(height));
    if (width == 0 || height == 0) return 1;
    if (!(radius >= 0.5)) {
        std::memcpy(out, in, bytes);
        return 1;
    }
    Block<std::uint8_t> tmp;
    if (!tmp.allocate(bytes)) return 0;
    const std::int32_t longest = width > height ? width : height;
    const double reach = radius > longest ? longest : radius;
    const double sigma = reach / 3.0;
    if (reach <= kDirectReach) {
        const int half = static_cast<int>(std::ceil(reach));
        std::uint32_t k[2 * kDirectReach + 1] = {};
        double w[2 * kDirectReach + 1] = {}, total = 0.0;
        for (int t = -half; t <= half; ++t) total += w[t + half] = std::exp(-(t * t) / (2.0 * sigma * sigma));
        std::uint32_t sum = 0;
        for (int t = -half; t <= half; ++t) sum += k[t + half] = static_cast<std::uint32_t>(w[t + half] / total * 65536.0);
        k[half] += 65536u - sum;  // the weights add up to exactly one
        for (std::int32_t c = 0; c < bytesPerPixel; ++c) {
            kernelPass(in + c, tmp.data() + c, width, height, bytesPerPixel, stride, k, half);
            kernelPass(tmp.data() + c, out + c, height, width, stride, bytesPerPixel, k, half);
        }
        return 1;
    }
    // Three boxes of width 2h+1 have variance 3 * ((2h+1)^2 - 1) / 12 = h (h + 1).
    const int half = static_cast<int>(std::lround((std::sqrt(1.0 + 4.0 * sigma * sigma) - 1.0) / 2.0));
    std::memcpy(out, in, bytes);
    for (int pass = 0; pass < 3; ++pass)
        for (std::int32_t c = 0; c < bytesPerPixel; ++c) {
            boxPass(out + c, tmp.data() + c, width, height, bytesPerPixel, stride, half);
            boxPass(tmp.data() + c, out + c, height, width, stride, bytesPerPixel, half);
        }
    return 1;
}

}  // namespace plr::imaging_lib
