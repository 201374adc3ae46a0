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

// Division by the box size without a divide: (n * m) >> 40 with
// m = floor(2^40 / size) + 1 is exact for every n below 2^24 and size up to
// 2^16 (the error n / 2^40 stays below the 1 / size gap to the next integer).
struct BoxDivider {
    std::uint64_t m;
    std::uint32_t halfSize;
    explicit BoxDivider(std::uint32_t size) : m((std::uint64_t{1} << 40) / size + 1), halfSize(size / 2) {}
    std::uint8_t operator()(std::uint32_t sum) const { return static_cast<std::uint8_t>(((sum + halfSize) * m) >> 40); }
};

// One box pass across every row of `in` (all channels at once), edges
// repeated through a padded copy of the row: `pad` holds width + 2 half + 1
// pixels.
void boxRows(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int32_t height, int bpp,
             std::int64_t stride, int half, std::uint8_t* pad) {
    const BoxDivider divide(2u * half + 1u);
    const std::int64_t padded = std::int64_t{width} + 2 * half + 1;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = in + y * stride;
        std::uint8_t* d = out + y * stride;
        for (std::int64_t i = 0; i < padded; ++i) {
            std::int64_t x = i - half;
            x = x < 0 ? 0 : x >= width ? width - 1 : x;
            std::memcpy(pad + i * bpp, s + x * bpp, static_cast<std::size_t>(bpp));
        }
        for (int c = 0; c < bpp; ++c) {
            std::uint32_t sum = 0;
            for (int t = 0; t <= 2 * half; ++t) sum += pad[t * bpp + c];
            for (std::int32_t x = 0; x < width; ++x) {
                d[x * bpp + c] = divide(sum);
                sum += pad[(x + 2 * half + 1) * bpp + c];
                sum -= pad[x * bpp + c];
            }
        }
    }
}

// One box pass down the columns, row by row: a running sum per column and
// channel (`sums`, width * bpp values), edge rows repeated.
void boxColumns(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int32_t height, int bpp,
                std::int64_t stride, int half, std::uint32_t* sums) {
    const BoxDivider divide(2u * half + 1u);
    const std::int64_t n = std::int64_t{width} * bpp;
    auto row = [&](std::int64_t y) { return in + (y < 0 ? 0 : y >= height ? height - 1 : y) * stride; };
    for (std::int64_t i = 0; i < n; ++i) sums[i] = 0;
    for (int t = -half; t <= half; ++t) {
        const std::uint8_t* r = row(t);
        for (std::int64_t i = 0; i < n; ++i) sums[i] += r[i];
    }
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* d = out + y * stride;
        const std::uint8_t* add = row(std::int64_t{y} + half + 1);
        const std::uint8_t* drop = row(std::int64_t{y} - half);
        for (std::int64_t i = 0; i < n; ++i) {
            d[i] = divide(sums[i]);
            sums[i] += add[i];
            sums[i] -= drop[i];
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
    Block<std::uint8_t> pad;
    Block<std::uint32_t> sums;
    if (!pad.allocate((std::size_t(width) + 2 * std::size_t(half) + 1) * bytesPerPixel) ||
        !sums.allocate(std::size_t(width) * bytesPerPixel))
        return 0;
    std::memcpy(out, in, bytes);
    for (int pass = 0; pass < 3; ++pass) {
        boxRows(out, tmp.data(), width, height, bytesPerPixel, stride, half, pad.data());
        boxColumns(tmp.data(), out, width, height, bytesPerPixel, stride, half, sums.data());
    }
    return 1;
}

}  // namespace plr::imaging_lib
