#include "adapters/imaging/filters_blur_plane.h"

#include "core/block.h"
#include "core/sizes.h"

namespace plr::imaging_lib {
namespace {

constexpr std::int32_t kMaxRadius = 4;

// Row 2r of Pascal's triangle: the binomial taps, summing to 4^r.
void binomialTaps(std::int32_t radius, std::uint32_t* taps) noexcept {
    const std::int32_t n = 2 * radius;
    taps[0] = 1;
    for (std::int32_t k = 1; k <= n; ++k) taps[k] = taps[k - 1] * static_cast<std::uint32_t>(n - k + 1) / static_cast<std::uint32_t>(k);
}

inline std::int32_t clampIndex(std::int32_t i, std::int32_t n) noexcept { return i < 0 ? 0 : i >= n ? n - 1 : i; }

}  // namespace

std::int32_t BlurImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                       std::int32_t srcStride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t strength,
                       std::int32_t radius) noexcept {
    if (!src || !dst || width < 1 || height < 1 || bytesPerPixel < 1 || bytesPerPixel > 4) return 0;
    if (radius < 1 || radius > kMaxRadius) return 0;
    const std::int64_t rowBytes = std::int64_t{width} * bytesPerPixel;
    if (srcStride < rowBytes || dstStride < rowBytes) return 0;
    const std::uint32_t mix = static_cast<std::uint32_t>(strength < 0 ? 0 : strength > 100 ? 100 : strength);

    std::uint32_t taps[2 * kMaxRadius + 1];
    binomialTaps(radius, taps);
    const std::uint32_t shift = 4 * static_cast<std::uint32_t>(radius);  // both passes: 4^r * 4^r = 2^(4r)
    const std::uint32_t half = 1u << (shift - 1);

    // One row of vertical sums (at most 255 * 4^4 each).
    Block<std::uint32_t> column;
    if (!column.allocate(saturatingProduct(static_cast<std::uint64_t>(rowBytes), 1))) return 0;
    std::uint32_t* sums = column.data();
    const std::int32_t bpp = bytesPerPixel;
    const auto n = static_cast<std::int32_t>(rowBytes);

    for (std::int32_t y = 0; y < height; ++y) {
        // Vertical pass: a weighted sum of 2r + 1 rows, the edge rows repeated.
        for (std::int32_t i = 0; i < n; ++i) sums[i] = 0;
        for (std::int32_t k = -radius; k <= radius; ++k) {
            const std::uint8_t* row = src + static_cast<std::ptrdiff_t>(clampIndex(y + k, height)) * srcStride;
            const std::uint32_t t = taps[k + radius];
            for (std::int32_t i = 0; i < n; ++i) sums[i] += t * row[i];
        }
        // Horizontal pass over the sums, per channel, the edge pixels repeated.
        const std::uint8_t* orig = src + static_cast<std::ptrdiff_t>(y) * srcStride;
        std::uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dstStride;
        for (std::int32_t x = 0; x < width; ++x) {
            for (std::int32_t c = 0; c < bpp; ++c) {
                std::uint32_t acc = 0;
                if (x >= radius && x + radius < width) {
                    const std::uint32_t* s = sums + (x - radius) * bpp + c;
                    for (std::int32_t k = 0; k <= 2 * radius; ++k) acc += taps[k] * s[k * bpp];
                } else {
                    for (std::int32_t k = -radius; k <= radius; ++k)
                        acc += taps[k + radius] * sums[clampIndex(x + k, width) * bpp + c];
                }
                const std::uint32_t blurred = (acc + half) >> shift;
                const std::uint32_t o = orig[x * bpp + c];
                // o + (blurred - o) * mix / 100, rounded to nearest.
                const std::int32_t delta = static_cast<std::int32_t>(blurred) - static_cast<std::int32_t>(o);
                const std::int32_t moved = (delta * static_cast<std::int32_t>(mix) + (delta >= 0 ? 50 : -50)) / 100;
                out[x * bpp + c] = static_cast<std::uint8_t>(static_cast<std::int32_t>(o) + moved);
            }
        }
    }
    return 1;
}

}  // namespace plr::imaging_lib
