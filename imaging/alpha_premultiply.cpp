#include "imaging/alpha_premultiply.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/parallel_rows.h"

namespace plr {

namespace reference {

std::uint8_t premultiply8(std::uint8_t v, std::uint8_t alpha) noexcept {
    return static_cast<std::uint8_t>(static_cast<int>(alpha * kInv255 * (v + 1)));
}

std::uint8_t unpremultiply8(std::uint8_t v, std::uint8_t alpha) noexcept {
    const unsigned q = v * 255u / alpha;
    return static_cast<std::uint8_t>(q > 255 ? 255 : q);
}

}  // namespace reference

namespace {

// 64 KB tables indexed [alpha][v], filled once from the reference formulas:
// the per-pixel double arithmetic becomes a load, with identical results.
struct Tables {
    std::array<std::uint8_t, 256 * 256> mul{};
    std::array<std::uint8_t, 256 * 256> div{};
    Tables() {
        for (int a = 0; a < 256; ++a)
            for (int v = 0; v < 256; ++v) {
                mul[a * 256 + v] = reference::premultiply8(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(a));
                div[a * 256 + v] =
                    a ? reference::unpremultiply8(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(a))
                      : static_cast<std::uint8_t>(v);
            }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

template <bool kSkipOpaque>
void applyTable(std::uint8_t* px, std::size_t count, const std::uint8_t* table) noexcept {
    for (std::size_t i = 0; i < count; ++i, px += 4) {
        const unsigned a = px[3];
        if (a == 0 || (kSkipOpaque && a == 255)) continue;
        const std::uint8_t* row = table + a * 256;
        px[0] = row[px[0]];
        px[1] = row[px[1]];
        px[2] = row[px[2]];
    }
}

#if defined(__SSE2__)
// Four pixels at a time. Groups whose alphas are all 0 or 255 are left as
// they are; the others are worked in 16-bit lanes, every pixel with alpha 0
// or 255 and every alpha channel selected back unchanged.
struct Four {
    __m128i lo, hi;          // pixels 0-1 and 2-3, one channel per 16-bit lane
    __m128i workLo, workHi;  // the colour lanes of pixels with 0 < alpha < 255
};

// False when every pixel of the group keeps its bytes.
inline bool loadFour(const std::uint8_t* p, __m128i& bytes, Four& f) noexcept {
    const __m128i zero = _mm_setzero_si128();
    bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i alpha = _mm_srli_epi32(bytes, 24);
    const __m128i ends = _mm_or_si128(_mm_cmpeq_epi32(alpha, zero), _mm_cmpeq_epi32(alpha, _mm_set1_epi32(255)));
    if (_mm_movemask_epi8(ends) == 0xFFFF) return false;
    const __m128i colourLanes = _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0);
    f.lo = _mm_unpacklo_epi8(bytes, zero);
    f.hi = _mm_unpackhi_epi8(bytes, zero);
    f.workLo = _mm_andnot_si128(_mm_unpacklo_epi32(ends, ends), colourLanes);
    f.workHi = _mm_andnot_si128(_mm_unpackhi_epi32(ends, ends), colourLanes);
    return true;
}

inline void storeFour(std::uint8_t* p, const Four& f, __m128i lo, __m128i hi) noexcept {
    lo = _mm_or_si128(_mm_and_si128(f.workLo, lo), _mm_andnot_si128(f.workLo, f.lo));
    hi = _mm_or_si128(_mm_and_si128(f.workHi, hi), _mm_andnot_si128(f.workHi, f.hi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(lo, hi));
}

inline __m128i alphaOverLanes(__m128i x) noexcept { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); }

// Premultiply: with x = alpha * (v + 1) (below 2^16), the double rule
// trunc(alpha * (1/255) * (v + 1)) equals x / 255 = (x * 0x8081) >> 23
// except in 72 pairs, all with x a multiple of 255, where the rounded
// constant falls just short of the whole number. A group holding such an x
// goes through the table instead. Returns false for that group.
inline bool premultiplyFour(std::uint8_t* p) noexcept {
    __m128i bytes;
    Four f;
    if (!loadFour(p, bytes, f)) return true;
    const __m128i one = _mm_set1_epi16(1);
    const __m128i magic = _mm_set1_epi16(static_cast<short>(0x8081));
    const __m128i x255 = _mm_set1_epi16(255);
    const __m128i xLo = _mm_mullo_epi16(alphaOverLanes(f.lo), _mm_add_epi16(f.lo, one));
    const __m128i xHi = _mm_mullo_epi16(alphaOverLanes(f.hi), _mm_add_epi16(f.hi, one));
    const __m128i qLo = _mm_srli_epi16(_mm_mulhi_epu16(xLo, magic), 7);
    const __m128i qHi = _mm_srli_epi16(_mm_mulhi_epu16(xHi, magic), 7);
    const __m128i wholeLo = _mm_and_si128(f.workLo, _mm_cmpeq_epi16(_mm_mullo_epi16(qLo, x255), xLo));
    const __m128i wholeHi = _mm_and_si128(f.workHi, _mm_cmpeq_epi16(_mm_mullo_epi16(qHi, x255), xHi));
    if (_mm_movemask_epi8(_mm_or_si128(wholeLo, wholeHi))) return false;
    storeFour(p, f, qLo, qHi);
    return true;
}

// Divide: min(255, v * 255 / alpha). v >= alpha gives 255; below it the
// quotient is trunc(v * 255 * r) in single precision with r the float
// nearest 1 / alpha moved one step up: r >= 1 / alpha keeps exact quotients
// whole, and its excess (below 2^-22 relative, under 2^-14 absolute for
// quotients below 256) never reaches the next whole number, which lies at
// least 1 / alpha away. Checked for all 65536 pairs by the tests.
inline void unpremultiplyFour(std::uint8_t* p) noexcept {
    __m128i bytes;
    Four f;
    if (!loadFour(p, bytes, f)) return;
    const __m128i zero = _mm_setzero_si128();
    const __m128 alpha = _mm_cvtepi32_ps(_mm_max_epi16(_mm_srli_epi32(bytes, 24), _mm_set1_epi32(1)));
    const __m128 r = _mm_castsi128_ps(_mm_add_epi32(_mm_castps_si128(_mm_div_ps(_mm_set1_ps(1.0f), alpha)),
                                                     _mm_set1_epi32(1)));
    auto quotient = [&](__m128i v, __m128 ri) {  // one pixel, channels in 32-bit lanes
        const __m128i v255 = _mm_sub_epi32(_mm_slli_epi32(v, 8), v);
        return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(v255), ri));
    };
    // Quotients are at most 65025 * (1 + 2^-22): the signed pack holds them
    // to 32767 and the final unsigned pack to 255, the limit of the rule.
    const __m128i lo = _mm_packs_epi32(quotient(_mm_unpacklo_epi16(f.lo, zero), _mm_shuffle_ps(r, r, 0x00)),
                                       quotient(_mm_unpackhi_epi16(f.lo, zero), _mm_shuffle_ps(r, r, 0x55)));
    const __m128i hi = _mm_packs_epi32(quotient(_mm_unpacklo_epi16(f.hi, zero), _mm_shuffle_ps(r, r, 0xAA)),
                                       quotient(_mm_unpackhi_epi16(f.hi, zero), _mm_shuffle_ps(r, r, 0xFF)));
    storeFour(p, f, lo, hi);
}
#endif

// Pixels [0, count) in chunks on the engine's threads; each chunk is its own.
constexpr std::size_t kChunk = 1024;

template <class Fn>
void inChunks(std::uint8_t* px, std::size_t count, Fn fn) {
    const std::size_t chunks = (count + kChunk - 1) / kChunk;
    if (chunks <= 1) {
        fn(px, count);
        return;
    }
    parallelRows(static_cast<std::int32_t>(chunks), minBandRows(kChunk * 4), [&](std::int32_t c0, std::int32_t c1) {
        const std::size_t first = static_cast<std::size_t>(c0) * kChunk;
        const std::size_t last = std::min(count, static_cast<std::size_t>(c1) * kChunk);
        fn(px + 4 * first, last - first);
    });
}

void premultiplyRun(std::uint8_t* px, std::size_t count) noexcept {
    const std::uint8_t* table = tables().mul.data();
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4)
        if (!premultiplyFour(px + 4 * i)) applyTable<true>(px + 4 * i, 4, table);
#endif
    applyTable<true>(px + 4 * i, count - i, table);
}

void unpremultiplyRun(std::uint8_t* px, std::size_t count) noexcept {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) unpremultiplyFour(px + 4 * i);
#endif
    applyTable<true>(px + 4 * i, count - i, tables().div.data());
}

}  // namespace

namespace reference {

void premultiplyRGBA32(std::uint8_t* px, std::size_t count) noexcept {
    applyTable<true>(px, count, tables().mul.data());
}

void unpremultiplyRGBA32(std::uint8_t* px, std::size_t count) noexcept {
    applyTable<true>(px, count, tables().div.data());
}

}  // namespace reference

void premultiplyRGBA32(std::uint8_t* px, std::size_t count) {
    tables();  // built before the bands start
    inChunks(px, count, premultiplyRun);
}

void unpremultiplyRGBA32(std::uint8_t* px, std::size_t count) {
    tables();
    inChunks(px, count, unpremultiplyRun);
}

void unpremultiplyRGBA32AllAlphas(std::uint8_t* px, std::size_t count) noexcept {
    applyTable<false>(px, count, tables().div.data());
}

void premultiplyRGBA64(std::uint16_t* px, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i, px += 4) {
        const unsigned a = px[3];
        if (a == 0) continue;
        const double f = a * kInv65535;
        for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(f * px[c]));
    }
}

void unpremultiplyRGBA64(std::uint16_t* px, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i, px += 4) {
        const std::uint32_t a = px[3];
        if (a == 0) continue;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t q = px[c] * 65535u / a;
            px[c] = static_cast<std::uint16_t>(q > 65535 ? 65535 : q);
        }
    }
}

}  // namespace plr
