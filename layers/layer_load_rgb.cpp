// The 24-bit loads into the current layer and the 64-bit copies into slots.
// The RGB24 rows go four pixels at a time in 16-bit lanes (SSE2) where a
// 16-byte read stays inside the row, the rest pixel by pixel.
#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include "core/coverage_sse2.h"
#endif

#include "core/coverage.h"
#include "core/parallel_rows.h"
#include "core/pixel_rows.h"
#include "layers/page_layers.h"
#include "layers/layer_load.h"

// Every load refuses a page of size 0: there is nothing to load, and success
// for no work would mislead the host.

namespace plr {
namespace {

// Coverage of a stretch of pixels, variant A or B, into `f`.
template <bool VariantA, bool Tex, bool Mask>
void coverageRun(const std::uint8_t* __restrict t, const std::uint16_t* __restrict m, std::uint32_t* __restrict f,
                 std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i)
        f[i] = VariantA ? coverageA(Tex, Tex ? t[i] : 0, Mask, Mask ? m[i] : 0)
                        : coverageB(Tex, Tex ? t[i] : 0, Mask, Mask ? m[i] : 0);
}

// The four-pixel groups of an RGB24 row of n pixels that may be read 16
// bytes at a time without passing the row's end: group k reads bytes
// [12k, 12k + 16).
constexpr std::size_t wholeGroups(std::size_t n) noexcept { return 3 * n >= 16 ? (3 * n - 16) / 12 + 1 : 0; }

#if defined(__SSE2__)
// Pixels 4k .. 4k + 3 as four 32-bit words (red, green, blue, the next byte).
inline __m128i rgbxFour(const std::uint8_t* s) noexcept {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i p01 = _mm_unpacklo_epi32(x, _mm_srli_si128(x, 3));
    const __m128i p23 = _mm_unpacklo_epi32(_mm_srli_si128(x, 6), _mm_srli_si128(x, 9));
    return _mm_unpacklo_epi64(p01, p23);
}

// Calls lanes(source bytes * 256, destination, index of pixel pair) for the
// two halves of every whole group; stores what it returns. Returns the pixels done.
template <class Lanes>
std::size_t rgbGroups(const std::uint8_t* s, std::uint16_t* d, std::size_t n, Lanes lanes) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const std::size_t groups = wholeGroups(n);
    for (std::size_t k = 0; k < groups; ++k) {
        const __m128i rgbx = rgbxFour(s + 12 * k);
        auto* out = reinterpret_cast<__m128i*>(d + 16 * k);
        const __m128i lo = lanes(_mm_unpacklo_epi8(zero, rgbx), _mm_loadu_si128(out), k, false);
        const __m128i hi = lanes(_mm_unpackhi_epi8(zero, rgbx), _mm_loadu_si128(out + 1), k, true);
        _mm_storeu_si128(out, lo);
        _mm_storeu_si128(out + 1, hi);
    }
    return groups * 4;
}

const __m128i kAlphaLanes = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1);

// Red * 256 of each pixel moved to its alpha lane.
inline __m128i redOverLanes(__m128i x) noexcept { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0x00), 0x00); }
#endif

// Colour * 256, alpha kept.
std::size_t rgbRowPlainFast(const std::uint8_t* s, std::uint16_t* d, std::size_t n) noexcept {
#if defined(__SSE2__)
    return rgbGroups(s, d, n, [](__m128i sFull, __m128i dst, std::size_t, bool) {
        return sse2::select(kAlphaLanes, dst, sFull);
    });
#else
    return 0;
#endif
}
void rgbRowPlain(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, std::size_t n) noexcept {
    const std::size_t done = rgbRowPlainFast(s, d, n);
    for (std::size_t i = done; i < n; ++i)
        for (int c = 0; c < 3; ++c) d[4 * i + c] = static_cast<std::uint16_t>(s[3 * i + c] << 8);
}

// Alpha of a pixel whose alpha is not 0 = red * 256.
std::size_t alphaRowPlainFast(const std::uint8_t* s, std::uint16_t* d, std::size_t n) noexcept {
#if defined(__SSE2__)
    return rgbGroups(s, d, n, [](__m128i sFull, __m128i dst, std::size_t, bool) {
        const __m128i set = _mm_andnot_si128(_mm_cmpeq_epi16(dst, _mm_setzero_si128()), kAlphaLanes);
        return sse2::select(set, redOverLanes(sFull), dst);
    });
#else
    return 0;
#endif
}
void alphaRowPlain(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, std::size_t n) noexcept {
    const std::size_t done = alphaRowPlainFast(s, d, n);
    for (std::size_t i = done; i < n; ++i) {
        const std::uint16_t da = d[4 * i + 3];
        d[4 * i + 3] = da == 0 ? da : static_cast<std::uint16_t>(s[3 * i] << 8);
    }
}

// Under coverage `cov`: colour by coverageApply, alpha kept.
std::size_t rgbCoveredFast(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n) noexcept {
#if defined(__SSE2__)
    return rgbGroups(s, d, n, [cov](__m128i sFull, __m128i dst, std::size_t k, bool high) {
        const __m128i f = sse2::coverageOfTwo(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + 4 * k)), high);
        return sse2::select(kAlphaLanes, dst, sse2::coverageApplyLanes(sFull, dst, f));
    });
#else
    return 0;
#endif
}
void rgbCovered(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, const std::uint32_t* __restrict cov,
                std::size_t n) noexcept {
    const std::size_t done = rgbCoveredFast(s, d, cov, n);
    for (std::size_t i = done; i < n; ++i)
        for (int c = 0; c < 3; ++c) d[4 * i + c] = coverageApply(s[3 * i + c], d[4 * i + c], cov[i]);
}

// Under coverage `cov`: a pixel whose alpha is not 0 takes coverageApply(red, alpha).
std::size_t alphaCoveredFast(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov,
                             std::size_t n) noexcept {
#if defined(__SSE2__)
    return rgbGroups(s, d, n, [cov](__m128i sFull, __m128i dst, std::size_t k, bool high) {
        const __m128i f = sse2::coverageOfTwo(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + 4 * k)), high);
        const __m128i set = _mm_andnot_si128(_mm_cmpeq_epi16(dst, _mm_setzero_si128()), kAlphaLanes);
        return sse2::select(set, sse2::coverageApplyLanes(redOverLanes(sFull), dst, f), dst);
    });
#else
    return 0;
#endif
}
void alphaCovered(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, const std::uint32_t* __restrict cov,
                  std::size_t n) noexcept {
    const std::size_t done = alphaCoveredFast(s, d, cov, n);
    for (std::size_t i = done; i < n; ++i) {
        const std::uint16_t da = d[4 * i + 3];
        const std::uint16_t blended = coverageApply(s[3 * i], da, cov[i]);
        d[4 * i + 3] = da == 0 ? da : blended;
    }
}

// BGR24 -> colour * 256 in RGB order, alpha 0xFFFF.
std::size_t bgrRowFast(const std::uint8_t* s, std::uint16_t* d, std::size_t n) noexcept {
#if defined(__SSE2__)
    return rgbGroups(s, d, n, [](__m128i sFull, __m128i, std::size_t, bool) {
        const __m128i swapped = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sFull, 0xC6), 0xC6);  // lanes 2, 1, 0, 3
        return _mm_or_si128(swapped, kAlphaLanes);
    });
#else
    return 0;
#endif
}
void bgrRow(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, std::size_t n) noexcept {
    for (std::size_t i = bgrRowFast(s, d, n); i < n; ++i) {
        d[4 * i] = static_cast<std::uint16_t>(s[3 * i + 2] << 8);
        d[4 * i + 1] = static_cast<std::uint16_t>(s[3 * i + 1] << 8);
        d[4 * i + 2] = static_cast<std::uint16_t>(s[3 * i] << 8);
        d[4 * i + 3] = 0xFFFF;
    }
}

// A covered row in stretches whose coverage fits a small stack array.
template <bool VariantA, bool Tex, bool Mask>
void rowCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint8_t* t, const std::uint16_t* m,
                std::size_t n) noexcept {
    constexpr std::size_t kStretch = 512;
    std::uint32_t cov[kStretch];
    for (std::size_t at = 0; at < n; at += kStretch) {
        const std::size_t k = n - at < kStretch ? n - at : kStretch;
        coverageRun<VariantA, Tex, Mask>(Tex ? t + at : nullptr, Mask ? m + at : nullptr, cov, k);
        if constexpr (VariantA)
            rgbCovered(s + 3 * at, d + 4 * at, cov, k);
        else
            alphaCovered(s + 3 * at, d + 4 * at, cov, k);
    }
}

template <bool Tex, bool Mask>
void rgbRowCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint8_t* t, const std::uint16_t* m,
                   std::size_t n) noexcept {
    rowCovered<true, Tex, Mask>(s, d, t, m, n);
}
template <bool Tex, bool Mask>
void alphaRowCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint8_t* t, const std::uint16_t* m,
                     std::size_t n) noexcept {
    rowCovered<false, Tex, Mask>(s, d, t, m, n);
}

using CoveredRow = void (*)(const std::uint8_t*, std::uint16_t*, const std::uint8_t*, const std::uint16_t*,
                            std::size_t) noexcept;

CoveredRow pickRgb(bool tex, bool mask) noexcept {
    if (tex && mask) return rgbRowCovered<true, true>;
    if (tex) return rgbRowCovered<true, false>;
    if (mask) return rgbRowCovered<false, true>;
    return rgbRowCovered<false, false>;
}
CoveredRow pickAlpha(bool tex, bool mask) noexcept {
    if (tex && mask) return alphaRowCovered<true, true>;
    if (tex) return alphaRowCovered<true, false>;
    if (mask) return alphaRowCovered<false, true>;
    return alphaRowCovered<false, false>;
}

// Walks the page rows of the current layer with a covered or plain kernel.
using PlainRow = void (*)(const std::uint8_t*, std::uint16_t*, std::size_t) noexcept;

bool walkPage(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool covered, CoveredRow coveredRow,
              PlainRow plainRow) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !src || page.pixelCount() == 0) return false;
    const std::uint8_t* tex = covered ? page.textureIfPresent() : nullptr;
    const std::uint16_t* mask = covered ? page.maskIfEnabled() : nullptr;
    const std::size_t w = static_cast<std::size_t>(page.width);
    const std::ptrdiff_t srcStride = stride;
    std::uint16_t* pixels = layer->pixels.data();
    // Rows in bands: each reads its own source rows and writes its own layer rows.
    parallelRows(page.height, minBandRows(static_cast<std::int64_t>(w) * 8), [&](std::int32_t y0, std::int32_t y1) {
        const std::uint8_t* s = src + static_cast<std::ptrdiff_t>(y0) * srcStride;
        for (std::int32_t y = y0; y < y1; ++y, s += srcStride) {
            const std::size_t at = static_cast<std::size_t>(y) * w;
            std::uint16_t* d = pixels + at * 4;
            if (covered)
                coveredRow(s, d, tex ? tex + at : nullptr, mask ? mask + at : nullptr, w);
            else
                plainRow(s, d, w);
        }
    });
    return true;
}

}  // namespace

bool loadBGR24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t width, std::int32_t height) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !src || page.pixelCount() == 0) return false;
    const std::int32_t w = std::clamp(width, 0, page.width), h = std::clamp(height, 0, page.height);
    const std::ptrdiff_t srcStride = stride;
    std::uint16_t* pixels = layer->pixels.data();
    const std::size_t pageWidth = static_cast<std::size_t>(page.width);
    parallelRows(h, minBandRows(std::int64_t{w} * 8), [&](std::int32_t y0, std::int32_t y1) {
        for (std::int32_t y = y0; y < y1; ++y)
            bgrRow(src + static_cast<std::ptrdiff_t>(y) * srcStride, pixels + static_cast<std::size_t>(y) * pageWidth * 4,
                   static_cast<std::size_t>(w));
    });
    return true;
}

bool loadRGB24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture) {
    const bool covered = coverageActive(page, useMaskAndTexture);
    return walkPage(page, src, stride, covered, pickRgb(page.textureIfPresent(), page.maskIfEnabled()), rgbRowPlain);
}

bool loadRGB24ToAlpha(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture) {
    const bool covered = coverageActive(page, useMaskAndTexture);
    return walkPage(page, src, stride, covered, pickAlpha(page.textureIfPresent(), page.maskIfEnabled()),
                    alphaRowPlain);
}

bool setRGBA64Layer(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t layerIndex) {
    LayerRecord* layer = page.pageLayer(layerIndex);
    if (!layer || !src || page.pixelCount() == 0) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(page.width) * 8;
    auto* d = reinterpret_cast<std::uint8_t*>(layer->pixels.data());
    const std::ptrdiff_t srcStride = stride;
    for (std::int32_t y = 0; y < page.height; ++y, src += srcStride, d += rowBytes) std::memcpy(d, src, rowBytes);
    return true;
}

bool setLayerData(PageLayers& page, const std::uint8_t* src, std::int32_t layerIndex) {
    LayerRecord* layer = page.pageLayer(layerIndex);
    if (!layer || !src || page.pixelCount() == 0) return false;
    std::memcpy(layer->pixels.data(), src, layer->pixels.bytes());
    return true;
}

}  // namespace plr
