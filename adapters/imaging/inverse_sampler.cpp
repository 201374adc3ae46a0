#include "adapters/imaging/inverse_sampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <emmintrin.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "core/block.h"

namespace plr::imaging_lib {
namespace {

constexpr int kTableBits = 5, kTableSize = 1 << kTableBits;
constexpr int kWeightBits = 15, kWeightOne = 1 << kWeightBits;
// Bands of 128 rows: remap works through tiles of 128 x 128 pixels, which
// a turned or scattered map reads with the best reuse of the source.
constexpr std::int32_t kBandRows = 128;
constexpr int kBorders[] = {cv::BORDER_CONSTANT, cv::BORDER_WRAP, cv::BORDER_REPLICATE, cv::BORDER_REFLECT};

bool validArguments(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                    const std::uint8_t* dst, std::int32_t dstStride, InverseMap map,
                    const SampleSettings& s) noexcept {
    if (!src || !dst || !map.row || width < 1 || height < 1) return false;
    if (std::int64_t{srcStride} < std::int64_t{width} * 4 || std::int64_t{dstStride} < std::int64_t{width} * 4)
        return false;
    return static_cast<std::int32_t>(s.edge) >= 0 && static_cast<std::int32_t>(s.edge) <= 3;
}

// The four 15-bit weights of the fraction (fx, fy) in 1/32 steps: rounded
// products, the rounding error given to the largest (or smallest) weight so
// that they sum to one. Held as int: the weight of a whole position is
// 32768, one more than an int16 holds.
struct WeightTable {
    std::int32_t w[kTableSize * kTableSize][4];
    WeightTable() noexcept {
        for (int fy = 0; fy < kTableSize; ++fy)
            for (int fx = 0; fx < kTableSize; ++fx) {
                const float ax = 1.f / kTableSize * fx, ay = 1.f / kTableSize * fy;
                const float wx[2] = {1.f - ax, ax}, wy[2] = {1.f - ay, ay};
                std::int32_t* t = w[fy * kTableSize + fx];
                int sum = 0;
                for (int k = 0; k < 4; ++k) {
                    t[k] = std::min<std::int32_t>(std::lrint(wy[k / 2] * wx[k % 2] * kWeightOne), kWeightOne - 1);
                    sum += t[k];
                }
                if (sum != kWeightOne) {
                    int lo = 0, hi = 0;
                    for (int k = 0; k < 4; ++k) {
                        if (t[k] < t[lo]) lo = k;
                        else if (t[k] > t[hi]) hi = k;
                    }
                    const int diff = sum - kWeightOne;
                    if (diff < 0) t[hi] -= diff;
                    else t[lo] -= diff;
                }
            }
    }
};

const WeightTable& weights() noexcept {
    static const WeightTable table;
    return table;
}

// Index i folded into 0 .. n - 1 by the edge mode; -1 reads the fill.
std::int32_t edgeIndex(std::int64_t i, std::int32_t n, SampleEdge edge) noexcept {
    if (i >= 0 && i < n) return static_cast<std::int32_t>(i);
    switch (edge) {
        case SampleEdge::Wrap: return static_cast<std::int32_t>(((i % n) + n) % n);
        case SampleEdge::Nearest: return i < 0 ? 0 : n - 1;
        case SampleEdge::Mirror: {
            if (n == 1) return 0;
            const std::int64_t r = ((i % (2 * n)) + 2 * n) % (2 * n);
            return static_cast<std::int32_t>(r < n ? r : 2 * n - 1 - r);
        }
        default: return -1;
    }
}

// Positions beyond this distance all read the same (the sampler keeps 16
// bits of whole pixels); NaN reads as far off to the top left. Both paths
// see positions through this, so the fast one never meets a value its
// fixed-point conversion would treat in its own way.
constexpr float kFarthest = 1 << 20;

float held(float p) noexcept { return p >= -kFarthest ? (p <= kFarthest ? p : kFarthest) : -kFarthest; }

// One held position to its 1/32 grid: whole part (floor) and fraction index,
// the whole part saturated to 16 bits as the fast path keeps it.
void gridOf(float p, std::int32_t& whole, int& frac) noexcept {
    const std::int32_t q = static_cast<std::int32_t>(std::lrint(held(p) * kTableSize));
    whole = std::clamp<std::int32_t>(q >> kTableBits, -32768, 32767);
    frac = q & (kTableSize - 1);
}

// The band's positions on the sampler's grid, in the form remap takes
// without converting them again: whole pixels as interleaved int16 x, y
// (saturated) and the fraction index fy * 32 + fx. Four positions at a time:
// the rounding (nearest, ties to even) and the saturation are gridOf's. A
// NaN x (a pixel to skip) gives some grid point: its sample is thrown away.
void gridBand(const float* xs, const float* ys, std::size_t n, std::int16_t* whole, std::uint16_t* frac) noexcept {
    const __m128 scale = _mm_set1_ps(float(kTableSize)), lo = _mm_set1_ps(-kFarthest), hi = _mm_set1_ps(kFarthest);
    const __m128i fractionBits = _mm_set1_epi32(kTableSize - 1);
    // held(): maxps gives its second operand when the first is NaN, so NaN
    // goes to -kFarthest as held() sends it.
    auto grid = [&](const float* p) {
        const __m128 v = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(p), lo), hi);
        return _mm_cvtps_epi32(_mm_mul_ps(v, scale));
    };
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i qx = grid(xs + i), qy = grid(ys + i);
        const __m128i wx = _mm_srai_epi32(qx, kTableBits), wy = _mm_srai_epi32(qy, kTableBits);
        const __m128i packed = _mm_packs_epi32(wx, wy);  // x0..x3 y0..y3, saturated
        _mm_storeu_si128(reinterpret_cast<__m128i*>(whole + 2 * i),
                         _mm_unpacklo_epi16(packed, _mm_srli_si128(packed, 8)));
        const __m128i f = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(qy, fractionBits), kTableBits),
                                       _mm_and_si128(qx, fractionBits));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(frac + i), _mm_packs_epi32(f, f));
    }
    for (; i < n; ++i) {
        std::int32_t x0, y0;
        int fx, fy;
        gridOf(xs[i], x0, fx);
        gridOf(ys[i], y0, fy);
        whole[2 * i] = static_cast<std::int16_t>(x0);
        whole[2 * i + 1] = static_cast<std::int16_t>(y0);
        frac[i] = static_cast<std::uint16_t>(fy * kTableSize + fx);
    }
}

void sampleRow(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
               const float* xs, const float* ys, std::int32_t n, std::uint8_t* out, const SampleSettings& s) noexcept {
    const WeightTable& table = weights();
    std::uint8_t fill[4];
    for (int c = 0; c < 4; ++c) fill[c] = static_cast<std::uint8_t>(s.fill >> (8 * c));
    for (std::int32_t i = 0; i < n; ++i, out += 4) {
        if (s.skipUnmapped && std::isnan(xs[i])) continue;
        std::int32_t x0, y0;
        int fx, fy;
        gridOf(xs[i], x0, fx);
        gridOf(ys[i], y0, fy);
        const std::int32_t* w = table.w[fy * kTableSize + fx];
        const std::uint8_t* tap[4];
        for (int k = 0; k < 4; ++k) {
            const std::int32_t tx = edgeIndex(std::int64_t{x0} + k % 2, width, s.edge);
            const std::int32_t ty = edgeIndex(std::int64_t{y0} + k / 2, height, s.edge);
            tap[k] = tx < 0 || ty < 0 ? fill : src + std::int64_t{ty} * srcStride + std::int64_t{tx} * 4;
        }
        const int channels = s.keepAlpha ? 3 : 4;
        for (int c = 0; c < channels; ++c) {
            const int v = tap[0][c] * w[0] + tap[1][c] * w[1] + tap[2][c] * w[2] + tap[3][c] * w[3];
            out[c] = static_cast<std::uint8_t>(std::clamp((v + (1 << (kWeightBits - 1))) >> kWeightBits, 0, 255));
        }
    }
}

}  // namespace

std::int32_t InverseMapImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                             std::uint8_t* dst, std::int32_t dstStride, InverseMap map,
                             const SampleSettings& settings) noexcept {
    if (!validArguments(src, width, height, srcStride, dst, dstStride, map, settings)) return 0;
    const std::size_t band = std::size_t(width) * std::size_t(kBandRows);
    // Pixels that keep some of their bytes are sampled into a band of their
    // own first and then copied over; skipping needs the band's positions
    // kept, otherwise one row of them at a time is enough.
    const bool partial = settings.keepAlpha || settings.skipUnmapped;
    const std::size_t kept = settings.skipUnmapped ? band : std::size_t(width);
    Block<float> mapX, mapY;
    Block<std::int16_t> whole;
    Block<std::uint16_t> frac;
    Block<std::uint8_t> scratch;
    if (!mapX.allocate(kept) || !mapY.allocate(kept) || !whole.allocate(2 * band) || !frac.allocate(band) ||
        (partial && !scratch.allocate(band * 4)))
        return 0;
    try {
        const cv::Mat in(height, width, CV_8UC4, const_cast<std::uint8_t*>(src), std::size_t(srcStride));
        const std::uint32_t f = settings.fill;
        const cv::Scalar fill(f & 0xFF, (f >> 8) & 0xFF, (f >> 16) & 0xFF, (f >> 24) & 0xFF);
        const int border = kBorders[static_cast<int>(settings.edge)];
        const std::size_t copied = settings.keepAlpha ? 3 : 4;
        for (std::int32_t y0 = 0; y0 < height; y0 += kBandRows) {
            const std::int32_t rows = std::min(kBandRows, height - y0);
            for (std::int32_t r = 0; r < rows; ++r) {
                const std::size_t at = std::size_t(r) * width, slot = kept == band ? at : 0;
                map.row(map.context, y0 + r, mapX.data() + slot, mapY.data() + slot, width);
                gridBand(mapX.data() + slot, mapY.data() + slot, std::size_t(width), whole.data() + 2 * at,
                         frac.data() + at);
            }
            std::uint8_t* out = dst + std::int64_t{y0} * dstStride;
            const cv::Mat mx(rows, width, CV_16SC2, whole.data()), my(rows, width, CV_16UC1, frac.data());
            if (!partial) {
                cv::Mat outMat(rows, width, CV_8UC4, out, std::size_t(dstStride));
                cv::remap(in, outMat, mx, my, cv::INTER_LINEAR, border, fill);
                continue;
            }
            cv::Mat bandMat(rows, width, CV_8UC4, scratch.data());
            cv::remap(in, bandMat, mx, my, cv::INTER_LINEAR, border, fill);
            for (std::int32_t r = 0; r < rows; ++r)
                for (std::int32_t x = 0; x < width; ++x) {
                    const std::size_t i = std::size_t(r) * width + x;
                    if (settings.skipUnmapped && std::isnan(mapX[i])) continue;
                    std::memcpy(out + std::int64_t{r} * dstStride + x * 4, scratch.data() + i * 4, copied);
                }
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t InverseMapImageReference(const std::uint8_t* src, std::int32_t width, std::int32_t height,
                                      std::int32_t srcStride, std::uint8_t* dst, std::int32_t dstStride,
                                      InverseMap map, const SampleSettings& settings) noexcept {
    if (!validArguments(src, width, height, srcStride, dst, dstStride, map, settings)) return 0;
    Block<float> xs, ys;
    if (!xs.allocate(std::size_t(width)) || !ys.allocate(std::size_t(width))) return 0;
    for (std::int32_t y = 0; y < height; ++y) {
        map.row(map.context, y, xs.data(), ys.data(), width);
        sampleRow(src, width, height, srcStride, xs.data(), ys.data(), width, dst + std::int64_t{y} * dstStride,
                  settings);
    }
    return 1;
}

std::int32_t InverseMapInPlace(std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride,
                               InverseMap map, const SampleSettings& settings) noexcept {
    if (!pixels || width < 1 || height < 1 || stride < width * 4) return 0;
    Block<std::uint8_t> copy;
    const std::size_t bytes = std::size_t(stride) * std::size_t(height);
    if (!copy.allocate(bytes)) return 0;
    std::memcpy(copy.data(), pixels, bytes);
    return InverseMapImage(copy.data(), width, height, stride, pixels, stride, map, settings);
}

}  // namespace plr::imaging_lib
