#include "adapters/imaging/drawing_gradient.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plr::imaging_lib {

namespace gradient {

bool validFill(const void* pixels, std::int32_t width, std::int32_t height, std::int32_t bpp, std::int32_t stride,
               const std::uint32_t* stops, const double* positions, std::int32_t count) noexcept {
    constexpr std::int32_t kMaxSide = 1 << 24;
    return pixels && stops && positions && count >= 1 && width >= 0 && height >= 0 && width <= kMaxSide &&
           height <= kMaxSide && (bpp == 3 || bpp == 4) && std::int64_t{stride} >= std::int64_t{width} * bpp;
}

std::uint32_t entryColour(const std::uint32_t* stops, const double* positions, std::int32_t count,
                          std::int32_t entry) noexcept {
    const double p = static_cast<double>(entry) / kStepsPerPercent;
    std::uint32_t from = stops[0], to = stops[0];
    double f = 0;
    if (count > 1 && p >= positions[count - 1]) {
        from = to = stops[count - 1];
    } else {
        for (std::int32_t k = 0; k + 1 < count; ++k) {
            if (p < positions[k]) break;  // before the first stop
            if (p < positions[k + 1]) {
                from = stops[k];
                to = stops[k + 1];
                f = (p - positions[k]) / (positions[k + 1] - positions[k]);
                break;
            }
        }
    }
    // Stops are blue, green, red, fourth from the low byte; the output is red, green, blue, fourth in memory.
    static constexpr int kShift[4] = {16, 8, 0, 24};
    std::uint8_t out[4];
    for (int k = 0; k < 4; ++k) {
        const double a = (from >> kShift[k]) & 0xFF, b = (to >> kShift[k]) & 0xFF;
        out[k] = static_cast<std::uint8_t>(a + (b - a) * f + 0.5);
    }
    std::uint32_t packed;
    std::memcpy(&packed, out, 4);
    return packed;
}

std::int64_t LinearAxis::rowStart(std::int32_t y) const noexcept {
    constexpr double kLimit = 2305843009213693952.0;  // 2^61: far beyond every entry, safe to add columns to
    const double v = (perRow * y + origin) * static_cast<double>(std::int64_t{1} << kFractionBits);
    const double held = v > kLimit ? kLimit : v < -kLimit ? -kLimit : v;
    return static_cast<std::int64_t>(held) + (std::int64_t{1} << (kFractionBits - 1));
}

bool linearAxis(double x1, double y1, double x2, double y2, LinearAxis& out) noexcept {
    const double dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
    if (!(length2 >= 1.0) || !std::isfinite(length2)) return false;
    const double scale = kLastEntry / length2;
    out.perColumn = dx * scale;
    out.perRow = dy * scale;
    out.origin = -(x1 * dx + y1 * dy) * scale;
    if (!std::isfinite(out.origin)) return false;
    out.perColumnFixed = std::llround(out.perColumn * static_cast<double>(std::int64_t{1} << kFractionBits));
    return true;
}

}  // namespace gradient

namespace {

using namespace gradient;

void buildTable(std::uint32_t* table, const std::uint32_t* stops, const double* positions, std::int32_t count) noexcept {
    for (std::int32_t e = 0; e <= kLastEntry; ++e) table[e] = entryColour(stops, positions, count, e);
}

}  // namespace

std::int32_t GradientFillImageLinear(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double x1, double y1, double x2, double y2,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t /*flags*/, double opacity, std::int32_t /*reserved*/) noexcept {
    LinearAxis axis;
    if (!validFill(pixels, width, height, bytesPerPixel, stride, stops, positions, count) ||
        !linearAxis(x1, y1, x2, y2, axis))
        return 0;
    std::uint32_t table[kLastEntry + 1];
    buildTable(table, stops, positions, count);
    const std::uint32_t weight = opacityWeight(opacity);
    const std::int64_t step = axis.perColumnFixed;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = static_cast<std::uint8_t*>(pixels) + std::int64_t{y} * stride;
        std::int64_t index = axis.rowStart(y);
        if (bytesPerPixel == 4 && weight == 256) {
            // The common case: one table word per pixel, the index advanced by one addition.
            for (std::int32_t x = 0; x < width; ++x, index += step)
                std::memcpy(row + std::int64_t{x} * 4, &table[entryOfFixed(index)], 4);
        } else {
            for (std::int32_t x = 0; x < width; ++x, index += step)
                putPixel(row + std::int64_t{x} * bytesPerPixel, bytesPerPixel, table[entryOfFixed(index)], weight);
        }
    }
    return 1;
}

std::int32_t GradientFillImageRadial(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double radius, double cx, double cy,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t /*flags*/, double opacity, std::int32_t /*reserved*/) noexcept {
    if (!validFill(pixels, width, height, bytesPerPixel, stride, stops, positions, count) ||
        !validRadial(radius, cx, cy))
        return 0;
    std::uint32_t table[kLastEntry + 1];
    buildTable(table, stops, positions, count);
    const std::uint32_t weight = opacityWeight(opacity);
    const float perPixel = static_cast<float>(kLastEntry / radius), centreX = static_cast<float>(cx);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = static_cast<std::uint8_t*>(pixels) + std::int64_t{y} * stride;
        const float dy = static_cast<float>(y) - static_cast<float>(cy), dySquared = dy * dy;
        std::int32_t x = 0;
        if (bytesPerPixel == 4 && weight == 256) {
#if defined(__SSE2__)
            // Four entries at a time; the same single-precision operations in the same order as radialEntry.
            const __m128 vcx = _mm_set1_ps(centreX), vdy2 = _mm_set1_ps(dySquared), vscale = _mm_set1_ps(perPixel);
            const __m128 half = _mm_set1_ps(0.5f), last = _mm_set1_ps(static_cast<float>(kLastEntry));
            __m128i columns = _mm_setr_epi32(0, 1, 2, 3);
            alignas(16) std::int32_t entries[4];
            for (; x + 4 <= width; x += 4, columns = _mm_add_epi32(columns, _mm_set1_epi32(4))) {
                const __m128 dx = _mm_sub_ps(_mm_cvtepi32_ps(columns), vcx);
                const __m128 d = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(dx, dx), vdy2));
                const __m128 e = _mm_min_ps(_mm_add_ps(_mm_mul_ps(d, vscale), half), last);
                _mm_store_si128(reinterpret_cast<__m128i*>(entries), _mm_cvttps_epi32(e));
                for (int k = 0; k < 4; ++k) std::memcpy(row + std::int64_t{x + k} * 4, &table[entries[k]], 4);
            }
#endif
            for (; x < width; ++x)
                std::memcpy(row + std::int64_t{x} * 4,
                            &table[radialEntry(static_cast<float>(x) - centreX, dySquared, perPixel)], 4);
        } else {
            for (; x < width; ++x)
                putPixel(row + std::int64_t{x} * bytesPerPixel, bytesPerPixel,
                         table[radialEntry(static_cast<float>(x) - centreX, dySquared, perPixel)], weight);
        }
    }
    return 1;
}

}  // namespace plr::imaging_lib
