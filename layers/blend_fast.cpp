// The blend operation as every caller runs it. Same results as
// blendReference(), bit for bit; restructured for speed:
//   - everything that depends only on the request (mode family, mask,
//     opacity, lock, the composition formula) is decided once, and the row
//     loop is instantiated for it;
//   - Normal at full opacity without a mask copies opaque runs with one
//     memmove and skips transparent runs without looking at the destination;
//   - in the colour modes, with or without a Layer Mask, eight (AVX2, layers/
//     blend_eight_avx2.cpp) or four (SSE2) neighbouring pixels that all need
//     the float composition are composed straight from registers, with the
//     rows asked for from memory ahead of them (layers/blend_prefetch.h);
//   - the alpha modes run four pixels at a time through their own stage 1
//     and lane-mask stage 2 (layers/blend_alpha.cpp);
//   - other pixels that need it are gathered into a batch and composed four
//     at a time (layers/blend_batch.cpp).
#include <emmintrin.h>

#include <cstring>
#include <utility>

#include "layers/blend_alpha.h"
#include "layers/blend_batch.h"
#include "layers/blend_eight.h"
#include "layers/four_pixels_sse2.h"
#include "layers/blend_lanes.h"
#include "layers/blend_pixel.h"
#include "layers/blend_prefetch.h"
#include "layers/blend_request.h"

namespace plr {
namespace {

struct RowContext {
    bool alphaLock = false;
    bool copyOpaque = false;        // effective mode Normal: A >= 0xFF00 is a straight copy
    bool clears = false;            // Texturize family: a transparent destination is cleared
    bool keepsDestination = false;  // Texturize3: composed pixels stay as they are
    std::int32_t formula = 0;
    EightFn eight = nullptr;  // AVX2 eight-pixel path, when the processor has it
    EightParams eightParams;
};

inline void put(std::uint16_t* q, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a,
                bool alphaLock) noexcept {
    q[0] = static_cast<std::uint16_t>(r);
    q[1] = static_cast<std::uint16_t>(g);
    q[2] = static_cast<std::uint16_t>(b);
    if (!alphaLock) q[3] = static_cast<std::uint16_t>(a);
}

// Copies n whole pixels; with the alpha lock only their colour.
inline void copyRun(std::uint16_t* d, const std::uint16_t* s, std::int32_t n, bool alphaLock) noexcept {
    if (!alphaLock) {
        std::memmove(d, s, static_cast<std::size_t>(n) * 8);  // may be the same plane
        return;
    }
    constexpr std::uint64_t kAlpha = 0xFFFF000000000000ull;
    for (std::int32_t i = 0; i < n; ++i) {
        std::uint64_t sv, dv;
        std::memcpy(&sv, s + 4 * i, 8);
        std::memcpy(&dv, d + 4 * i, 8);
        dv = (dv & kAlpha) | (sv & ~kAlpha);
        std::memcpy(d + 4 * i, &dv, 8);
    }
}

inline void flush(FloatBatch& b, std::uint16_t* d, const RowContext& c) noexcept {
    if (b.count == 0) return;
    composeBatch(b, c.formula);
    for (int i = 0; i < b.count; ++i) {
        std::uint16_t* q = d + 4 * static_cast<std::ptrdiff_t>(b.position[i]);
        put(q, static_cast<std::uint32_t>(b.out[0][i]), static_cast<std::uint32_t>(b.out[1][i]),
            static_cast<std::uint32_t>(b.out[2][i]), static_cast<std::uint32_t>(b.out[3][i]), c.alphaLock);
    }
    b.count = 0;
}

// Stage 1 of the colour modes: only the alpha changes (mask, opacity).
template <bool kMask, bool kOpacity>
struct ColourStage {
    std::uint32_t opacityPlusOne = 256;
    std::int32_t mode = 0;
    SourcePixel operator()(const std::uint16_t* px, const std::uint16_t* maskPx) const noexcept {
        SourcePixel p;
        std::uint32_t a = px[3];
        if (a == 0) {
            p.skip = true;
            return p;
        }
        if constexpr (kMask) {
            if (maskPx[3] != 0) a = ((std::uint32_t{maskPx[0]} + maskPx[1] + maskPx[2]) / 3) * a >> 16;
        }
        if constexpr (kOpacity) a = opacityPlusOne * a >> 8;
        p.r = px[0];
        p.g = px[1];
        p.b = px[2];
        p.a = a;
        p.m = mode;
        return p;
    }
};

// The alpha modes (and numbers outside the table) use the shared stage-1 rules.
struct GeneralStage {
    Stage1Settings settings;
    SourcePixel operator()(const std::uint16_t* px, const std::uint16_t* maskPx) const noexcept {
        return stage1(px, maskPx, settings);
    }
};

template <class Stage>
inline void blendPixel(const std::uint16_t* s, const std::uint16_t* mk, std::uint16_t* d, std::int32_t x,
                       const RowContext& c, const Stage& stage, FloatBatch& batch) noexcept {
    const SourcePixel p = stage(s + 4 * x, mk ? mk + 4 * x : nullptr);
    if (!p.skip) {
        std::uint16_t* q = d + 4 * x;
        const std::uint32_t Ad = p.replace ? 0 : q[3];
        if (Ad == 0) {
            if (c.clears || p.a == 0) put(q, 0, 0, 0, 0, c.alphaLock);
            else put(q, p.r, p.g, p.b, p.a, c.alphaLock);
        } else if (p.a != 0) {
            if (c.copyOpaque && p.a >= 0xFF00) {
                put(q, p.r, p.g, p.b, p.a, c.alphaLock);
            } else if (!c.keepsDestination) {
                batch.push(x, p.r, p.g, p.b, p.a, q);
                if (batch.full()) flush(batch, d, c);
            }
        }
    }
}

// Four pixels of a colour mode (mk: their Layer Mask pixels, or null), when
// all four need the float composition (source and destination alpha
// non-zero, not a straight copy): composed from registers. False, and
// nothing written, otherwise.
template <int kFormula>
inline bool blendFour(const std::uint16_t* s, const std::uint16_t* mk, std::uint16_t* d, const RowContext& c,
                      std::uint32_t opacityPlusOne) noexcept {
    const __m128i zero = _mm_setzero_si128();
    // Half a line of each plane a call: the second request of a line finds it
    // already on its way and costs next to nothing.
    _mm_prefetch(reinterpret_cast<const char*>(s) + kBlendPrefetchBytes, _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(d) + kBlendPrefetchBytes, _MM_HINT_T0);
    __m128i srg, sba, drg, dba;
    four::split(s, srg, sba);
    four::split(d, drg, dba);
    const __m128i sa = _mm_unpackhi_epi16(sba, zero);
    const __m128i am = mk ? four::maskedAlpha(mk, sa) : sa;
    const __m128i A = opacityPlusOne < 256 ? four::withOpacity(am, opacityPlusOne) : am;
    const __m128i da = _mm_unpackhi_epi16(dba, zero);
    __m128i off = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(sa, zero), _mm_cmpeq_epi32(A, zero)),
                               _mm_cmpeq_epi32(da, zero));
    if (c.copyOpaque) off = _mm_or_si128(off, _mm_cmpgt_epi32(A, _mm_set1_epi32(0xFEFF)));
    if (_mm_movemask_epi8(off) != 0) return false;

    lanes::Lanes in;
    in.src[0] = _mm_unpacklo_epi16(srg, zero);
    in.src[1] = _mm_unpackhi_epi16(srg, zero);
    in.src[2] = _mm_unpacklo_epi16(sba, zero);
    in.srcAlpha = A;
    in.lum = _mm_add_epi32(_mm_add_epi32(in.src[0], in.src[1]), in.src[2]);
    in.dst[0] = _mm_unpacklo_epi16(drg, zero);
    in.dst[1] = _mm_unpackhi_epi16(drg, zero);
    in.dst[2] = _mm_unpacklo_epi16(dba, zero);
    in.dstAlpha = da;
    const lanes::LanesOut out = lanes::composeLanes<kFormula>(in);
    four::store(d, out.c[0], out.c[1], out.c[2], c.alphaLock ? da : out.a);
    return true;
}

template <bool kRuns, bool kFour, int kFormula, class Stage>
void blendRow(const std::uint16_t* s, const std::uint16_t* mk, std::uint16_t* d, std::int32_t n,
              const RowContext& c, const Stage& stage, FloatBatch& batch) noexcept {
    std::int32_t x = 0;
    while (x < n) {
        if constexpr (kRuns) {
            const std::uint32_t a0 = s[4 * x + 3];
            if (a0 >= 0xFF00) {
                std::int32_t e = x + 1;
                while (e < n && s[4 * e + 3] >= 0xFF00) ++e;
                copyRun(d + 4 * x, s + 4 * x, e - x, c.alphaLock);
                x = e;
                continue;
            }
            if (a0 == 0) {
                do ++x;
                while (x < n && s[4 * x + 3] == 0);
                continue;
            }
        }
        if constexpr (kFour) {
            if (c.eight && x + 8 <= n) {
                const std::int32_t done = c.eight(s + 4 * x, mk ? mk + 4 * x : nullptr, d + 4 * x, n - x, c.eightParams);
                if (done != 0) {
                    x += done;
                    continue;
                }
            }
            if (x + 4 <= n &&
                blendFour<kFormula>(s + 4 * x, mk ? mk + 4 * x : nullptr, d + 4 * x, c, stage.opacityPlusOne)) {
                x += 4;
                continue;
            }
        }
        blendPixel(s, mk, d, x, c, stage, batch);
        ++x;
    }
    flush(batch, d, c);
}

template <bool kRuns, bool kFour, int kFormula, class Stage>
void blendRows(const BlendRequest& rq, const RowContext& c, const Stage& stage, bool useMask) noexcept {
    FloatBatch batch;
    for (std::int32_t j = 0; j < rq.height; ++j) {
        const std::ptrdiff_t s = static_cast<std::ptrdiff_t>(rq.sourceY + j) * rq.sourceRowValues +
                                 static_cast<std::ptrdiff_t>(rq.sourceX) * 4;
        const std::ptrdiff_t d = static_cast<std::ptrdiff_t>(rq.destY + j) * rq.destRowValues +
                                 static_cast<std::ptrdiff_t>(rq.destX) * 4;
        blendRow<kRuns, kFour, kFormula>(rq.source + s, useMask ? rq.mask + s : nullptr, rq.destination + d,
                                         rq.width, c, stage, batch);
    }
}

// Colour modes: the formula becomes a template argument so that the
// four-pixel path composes with it inline.
template <int kFormula>
void colourRowsWith(const BlendRequest& rq, const RowContext& c, std::uint32_t plus1, bool mask) noexcept {
    constexpr bool kFour = kFormula != kModeTexturize3;  // Texturize3 never composes
    if (mask) {
        if (plus1 < 256) blendRows<false, kFour, kFormula>(rq, c, ColourStage<true, true>{plus1, rq.mode}, true);
        else blendRows<false, kFour, kFormula>(rq, c, ColourStage<true, false>{plus1, rq.mode}, true);
    } else if (plus1 < 256) {
        blendRows<false, kFour, kFormula>(rq, c, ColourStage<false, true>{plus1, rq.mode}, false);
    } else if (rq.mode == kModeNormal) {
        blendRows<true, kFour, kFormula>(rq, c, ColourStage<false, false>{plus1, rq.mode}, false);
    } else {
        blendRows<false, kFour, kFormula>(rq, c, ColourStage<false, false>{plus1, rq.mode}, false);
    }
}

template <int... F>
void colourRowsFor(std::int32_t formula, const BlendRequest& rq, const RowContext& c, std::uint32_t plus1,
                   bool mask, std::integer_sequence<int, F...>) noexcept {
    ((formula == F ? colourRowsWith<F>(rq, c, plus1, mask) : void()), ...);
}

void colourRows(const BlendRequest& rq, RowContext c, std::uint32_t plus1, bool mask) noexcept {
    if (c.formula != kModeTexturize3) {
        c.eight = eightPixelPath(c.formula);
        c.eightParams.copyOpaque = c.copyOpaque;
        c.eightParams.alphaLock = c.alphaLock;
        c.eightParams.opacityPlusOne = plus1;
    }
    colourRowsFor(c.formula, rq, c, plus1, mask, std::make_integer_sequence<int, kModeTexturize3 + 1>{});
}

}  // namespace

void blend(const BlendRequest& rq) noexcept {
    if (!rq.source || !rq.destination || rq.width <= 0 || rq.height <= 0) return;
    const Stage1Settings st = stage1SettingsOf(rq);

    const BlendMode* info = blendModeInfo(rq.mode);
    std::int32_t m = rq.mode;
    if (info) m = rq.sameAlphaMode ? info->composeAsSame : info->composeAs;
    RowContext c;
    c.alphaLock = rq.alphaLock;
    c.copyOpaque = m == kModeNormal;
    c.clears = clearsTransparent(m);
    c.formula = formulaOf(m);
    c.keepsDestination = c.formula == kModeTexturize3;

    const bool colour = rq.mode >= 0 && rq.mode <= kModeUnused;
    if (!colour) {
        if (info) blendAlphaModes(rq, c.formula, c.clears);
        else blendRows<false, false, 0>(rq, c, GeneralStage{st}, st.layerMask);
        return;
    }
    const auto plus1 = static_cast<std::uint32_t>(st.opacity + 1);
    colourRows(rq, c, st.opacity < 255 ? plus1 : 256, st.layerMask);
}

}  // namespace plr
