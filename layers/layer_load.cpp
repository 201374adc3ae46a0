// The core RGBA32 load. The page loop is split by what is constant over the
// whole load (coverage sources, alpha lock) into row kernels without
// per-pixel decisions beyond selects, so each vectorises.
#include "layers/layer_load.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/coverage.h"
#include "core/parallel_rows.h"
#include "core/pixel_rows.h"
#include "layers/page_layers.h"

namespace plr {
namespace {

// No coverage. Unlocked: a transparent source pixel writes (0, 0, 0, 0),
// any other all four channels * 256. Locked: colour * 256, alpha kept.
template <bool Locked>
void loadRowPlain(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        if constexpr (Locked) {
            d[4 * i] = static_cast<std::uint16_t>(s[4 * i] << 8);
            d[4 * i + 1] = static_cast<std::uint16_t>(s[4 * i + 1] << 8);
            d[4 * i + 2] = static_cast<std::uint16_t>(s[4 * i + 2] << 8);
        } else {
            const std::uint16_t keep = s[4 * i + 3] ? 0xFFFF : 0;
            for (int c = 0; c < 4; ++c) d[4 * i + c] = static_cast<std::uint16_t>((s[4 * i + c] << 8) & keep);
        }
    }
}

// Coverage of a stretch of pixels into `f`: its own loop so that the
// texture and mask widening vectorises apart from the pixel blend.
template <bool Tex, bool Mask>
void coverageRun(const std::uint8_t* __restrict t, const std::uint16_t* __restrict m, std::uint32_t* __restrict f,
                 std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t v = kFullCoverage;
        if constexpr (Tex) v = textureCoverageA(v, t[i]);
        if constexpr (Mask) v = maskCoverageA(v, m[i]);
        f[i] = v;
    }
}

template <bool Locked>
void blendRun(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, const std::uint32_t* __restrict cov,
              std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t f = cov[i];
        const std::uint32_t sa = s[4 * i + 3];
        const std::uint32_t da = d[4 * i + 3];
        // Bitwise, not short-circuit, logic: no branches inside the loop.
        const bool none = f == 0;
        const bool full = f == kFullCoverage;
        const bool take = full | (!none & (da == 0));
        const bool keep = none | (!take & (sa == 0));
        for (int c = 0; c < 3; ++c) {
            const std::uint8_t sc = s[4 * i + c];
            const std::uint16_t dc = d[4 * i + c];
            std::uint16_t v = coverageBlend(sc, dc, f);
            v = keep ? dc : v;
            v = take ? static_cast<std::uint16_t>(sc << 8) : v;
            d[4 * i + c] = v;
        }
        if constexpr (!Locked) {
            // Later selects win: none, then full, then the destination and source alpha rules.
            std::uint32_t a = coverageBlend(static_cast<std::uint8_t>(sa), static_cast<std::uint16_t>(da), f);
            a = sa == 0 ? (da * (0xFFFFu - f)) >> 16 : a;
            a = da == 0 ? (sa * 256u * f) >> 16 : a;
            a = full ? sa << 8 : a;
            a = none ? da : a;
            d[4 * i + 3] = static_cast<std::uint16_t>(a);
        }
    }
}

// Coverage variant A per pixel; see core/coverage.h for f.
//   f = 0: unchanged.  f = 0xFFFF: colour and alpha * 256.
//   destination alpha 0: colour * 256, alpha = source alpha * 256 * f >> 16.
//   source alpha 0: colour kept, alpha = destination alpha * (0xFFFF - f) >> 16.
//   otherwise every channel takes the coverage blend.
// The row goes in stretches whose coverage fits a small stack array.
template <bool Tex, bool Mask, bool Locked>
void loadRowCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint8_t* t, const std::uint16_t* m,
                    std::size_t n) noexcept {
    constexpr std::size_t kStretch = 512;
    std::uint32_t cov[kStretch];
    for (std::size_t at = 0; at < n; at += kStretch) {
        const std::size_t k = n - at < kStretch ? n - at : kStretch;
        coverageRun<Tex, Mask>(Tex ? t + at : nullptr, Mask ? m + at : nullptr, cov, k);
        const std::size_t done = coveredBlendKernel()(s + 4 * at, d + 4 * at, cov, k, Locked);
        blendRun<Locked>(s + 4 * (at + done), d + 4 * (at + done), cov + done, k - done);
    }
}

using RowKernel = void (*)(const std::uint8_t*, std::uint16_t*, const std::uint8_t*, const std::uint16_t*,
                           std::size_t) noexcept;

#if defined(__SSE2__)
// The unlocked plain load four pixels at a time: a pixel with alpha 0 is
// zeroed as a whole, then interleaving zero bytes below each byte widens it
// to byte * 256 in place (little-endian). Returns the pixels done.
std::size_t loadPlainSse2(const std::uint8_t* s, std::uint16_t* d, std::size_t n) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
        const __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(x, alphaBits), zero);
        x = _mm_andnot_si128(transparent, x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * i), _mm_unpacklo_epi8(zero, x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * i + 8), _mm_unpackhi_epi8(zero, x));
    }
    return i;
}
#endif

template <bool Locked>
void plainKernel(const std::uint8_t* s, std::uint16_t* d, const std::uint8_t*, const std::uint16_t*,
                 std::size_t n) noexcept {
#if defined(__SSE2__)
    if constexpr (!Locked) {
        const std::size_t done = loadPlainSse2(s, d, n);
        loadRowPlain<false>(s + 4 * done, d + 4 * done, n - done);
        return;
    }
#endif
    loadRowPlain<Locked>(s, d, n);
}

RowKernel pickKernel(bool covered, bool tex, bool mask, bool locked) noexcept {
    if (!covered) return locked ? plainKernel<true> : plainKernel<false>;
    if (tex && mask) return locked ? loadRowCovered<true, true, true> : loadRowCovered<true, true, false>;
    if (tex) return locked ? loadRowCovered<true, false, true> : loadRowCovered<true, false, false>;
    if (mask) return locked ? loadRowCovered<false, true, true> : loadRowCovered<false, true, false>;
    return locked ? loadRowCovered<false, false, true> : loadRowCovered<false, false, false>;
}

}  // namespace

bool coverageActive(PageLayers& page, bool useMaskAndTexture) noexcept {
    return useMaskAndTexture && (page.maskIfEnabled() || page.textureIfPresent());
}

bool loadRGBA32IntoLayer(PageLayers& page, LayerRecord& layer, const std::uint8_t* src, std::int32_t stride, std::int32_t x,
                         std::int32_t y, std::int32_t width, std::int32_t height, bool useMaskAndTexture) {
    if (!src || page.pixelCount() == 0 || !layer.hasPixelsOfSize(page.width, page.height)) return false;
    // Clip to the layer; columns and rows left of or above it are skipped in the source.
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + width, layer.width);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + height, layer.height);
    if (x1 <= x0 || y1 <= y0) return true;
    const std::size_t cols = static_cast<std::size_t>(x1 - x0);
    const std::ptrdiff_t srcStride = stride;
    const std::uint8_t* s =
        src + static_cast<std::ptrdiff_t>(y0 - y) * srcStride + static_cast<std::ptrdiff_t>(x0 - x) * 4;

    const bool covered = coverageActive(page, useMaskAndTexture);
    const std::uint8_t* tex = covered ? page.textureIfPresent() : nullptr;
    const std::uint16_t* mask = covered ? page.maskIfEnabled() : nullptr;
    const RowKernel kernel = pickKernel(covered, tex != nullptr, mask != nullptr, layer.alphaLock != 0);

    // Rows in bands: each band reads its own source rows and writes its own layer rows.
    const std::size_t pageWidth = static_cast<std::size_t>(page.width);
    std::uint16_t* pixels = layer.pixels.data();
    parallelRows(static_cast<std::int32_t>(y1 - y0), minBandRows(static_cast<std::int64_t>(cols) * 8),
                 [&](std::int32_t b0, std::int32_t b1) {
                     const std::uint8_t* sr = s + static_cast<std::ptrdiff_t>(b0) * srcStride;
                     for (std::int64_t row = y0 + b0; row < y0 + b1; ++row, sr += srcStride) {
                         const std::size_t at = static_cast<std::size_t>(row) * pageWidth + static_cast<std::size_t>(x0);
                         kernel(sr, pixels + at * 4, tex ? tex + at : nullptr, mask ? mask + at : nullptr, cols);
                     }
                 });
    return true;
}

void loadRGBA32Layer(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t layerIndex, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height, bool useMaskAndTexture) {
    if (LayerRecord* layer = page.slot(layerIndex))
        loadRGBA32IntoLayer(page, *layer, src, stride, x, y, width, height, useMaskAndTexture);
}

}  // namespace plr
