#pragma once
// Single-precision forms of the few functions the transform formulas need,
// written without branches or library calls so that a loop over a row of
// positions compiles to vector code. Each is good to a few units in the last
// place of a float over the range the formulas use it in; positions come
// out within a few thousandths of a pixel of the double-precision formulas.
#include <bit>
#include <cstdint>

// These are built into the baseline rows and into their AVX2 build
// (transform_rows_avx2.cpp): each build's copies carry a name of their own,
// so that the linker, keeping one copy of an inline function, never hands
// the baseline code a copy made of AVX2 instructions.
#if defined(__AVX2__)
#define PLR_TRANSFORM_ISA avx2
#else
#define PLR_TRANSFORM_ISA baseline
#endif

namespace plr::effect_lib::fast {
inline namespace PLR_TRANSFORM_ISA {

// Square roots without errno: one instruction, in a vector loop too.
inline float root(float v) noexcept { return __builtin_sqrtf(v); }
inline double root(double v) noexcept { return __builtin_sqrt(v); }

// Nearest whole number (ties to even) for |v| < 2^22; larger floats are
// returned as they are (from 2^23 on every float is whole).
inline float roundNear(float v) noexcept {
    constexpr float kMagic = 12582912.0f;  // 1.5 * 2^23: adding it drops the fraction
    const float a = v < 0 ? -v : v;
    return a < 4194304.0f ? (v + kMagic) - kMagic : v;
}

inline float floorOf(float v) noexcept {
    const float r = roundNear(v);
    return r > v ? r - 1.0f : r;
}

// sin(2 pi t): t in turns, so the reduction to one period is exact.
inline float sinTurns(float t) noexcept {
    const float r = t - roundNear(t);      // -0.5 .. 0.5
    float a = r < 0 ? -r : r;
    a = a < 0.5f - a ? a : 0.5f - a;       // sin(pi - x) = sin x: 0 .. 0.25
    const float x = a * 6.28318530717958648f, x2 = x * x;
    const float p =
        x * (1.0f + x2 * (-1.66666667e-1f + x2 * (8.33333333e-3f + x2 * (-1.98412698e-4f +
                                                                        x2 * (2.75573192e-6f + x2 * -2.50521084e-8f)))));
    return r < 0 ? -p : p;
}

inline float cosTurns(float t) noexcept { return sinTurns(t + 0.25f); }

// sin and cos of 2 pi t from one reduction: t to the nearest quarter turn
// q and a remainder within an eighth of a turn either way, where short
// series hold; the quarter turn then swaps and signs the pair.
inline void sinCosTurns(float t, float& sine, float& cosine) noexcept {
    const float r = t - roundNear(t);             // -0.5 .. 0.5
    const float q = roundNear(4.0f * r);          // -2 .. 2
    const float x = (r - 0.25f * q) * 6.28318530717958648f, x2 = x * x;  // |x| <= pi / 4
    const float s = x * (1.0f + x2 * (-1.66666667e-1f + x2 * (8.33333333e-3f + x2 * (-1.98412698e-4f +
                                                                                      x2 * 2.75573192e-6f))));
    const float c = 1.0f + x2 * (-0.5f + x2 * (4.16666667e-2f + x2 * (-1.38888889e-3f + x2 * (2.48015873e-5f +
                                                                                            x2 * -2.75573192e-7f))));
    // q = 1: (c, -s); q = +-2: (-s, -c); q = -1: (-c, s).
    const bool odd = (q == 1.0f) | (q == -1.0f);
    const bool negateSine = (q <= -0.5f) | (q >= 1.5f), negateCosine = (q >= 0.5f) | (q <= -1.5f);
    const float sv = odd ? c : s, cv = odd ? s : c;
    sine = negateSine ? -sv : sv;
    cosine = negateCosine ? -cv : cv;
}

// The same for an angle held in double precision: the reduction to one turn
// keeps the angle's own precision, the rest needs no more than a float's.
inline float sinTurns(double t) noexcept {
    constexpr double kMagic = 6755399441055744.0;  // 1.5 * 2^52
    const double a = t < 0 ? -t : t, whole = (t + kMagic) - kMagic;
    return sinTurns(static_cast<float>(t - (a < 1e15 ? whole : t)));
}
inline float cosTurns(double t) noexcept { return sinTurns(t + 0.25); }

inline void sinCosTurns(double t, float& sine, float& cosine) noexcept {
    constexpr double kMagic = 6755399441055744.0;  // 1.5 * 2^52
    const double a = t < 0 ? -t : t, whole = (t + kMagic) - kMagic;
    sinCosTurns(static_cast<float>(t - (a < 1e15 ? whole : t)), sine, cosine);
}

// asin(r) / r for 0 <= r < 1 (1 at 0), from q = r^2 and z = 1 - r^2, both
// worked out by the caller where they are still exact: near r = 1 the
// result hangs on 1 - r, which a float r would hold to a few digits only,
// while z keeps its own precision.
inline float asinOverFromSquares(float q, float z) noexcept {
    // Small arguments: a series in r^2; large: asin r = pi/2 - 2 asin(sqrt((1 - r) / 2)),
    // with 1 - r = z / (1 + r).
    const float r = root(q);
    const bool large = q > 0.25f;
    const float w = large ? 0.5f * z / (1.0f + r) : q;
    const float s = large ? root(w) : r;
    const float series =
        ((((4.2163199048e-2f * w + 2.4181311049e-2f) * w + 4.5470025998e-2f) * w + 7.4953002686e-2f) * w +
         1.6666752422e-1f) * w;
    const float asinS = s + s * series;
    return large ? (1.57079632679489662f - 2.0f * asinS) / (large ? r : 1.0f) : 1.0f + series;
}

// log2 of a positive normal float.
inline float log2Of(float v) noexcept {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(v);
    float e = static_cast<float>(static_cast<std::int32_t>(bits >> 23) - 127);
    float m = std::bit_cast<float>((bits & 0x007FFFFFu) | 0x3F800000u);  // 1 .. 2
    const bool high = m > 1.41421356f;
    m = high ? 0.5f * m : m;
    e = high ? e + 1.0f : e;
    // ln m = 2 atanh s, s = (m - 1) / (m + 1), |s| < 0.172.
    const float s = (m - 1.0f) / (m + 1.0f), s2 = s * s;
    const float ln = 2.0f * s * (1.0f + s2 * (1.0f / 3 + s2 * (1.0f / 5 + s2 * (1.0f / 7 + s2 * (1.0f / 9)))));
    return e + ln * 1.44269504088896341f;
}

// 2^v for v in -126 .. 126 (clamped there).
inline float exp2Of(float v) noexcept {
    v = v < -126.0f ? -126.0f : v > 126.0f ? 126.0f : v;
    const float i = roundNear(v), f = (v - i) * 0.69314718055994531f;  // |f| <= ln 2 / 2
    const float p =
        1.0f + f * (1.0f + f * (0.5f + f * (1.0f / 6 + f * (1.0f / 24 + f * (1.0f / 120 + f * (1.0f / 720))))));
    const auto e = static_cast<std::uint32_t>(static_cast<std::int32_t>(i) + 127) << 23;
    return p * std::bit_cast<float>(e);
}

// The Random transform's fixed scatter: a hash of the pixel and a salt per
// coordinate, its 53 bits taken as -1 .. 1. The key's terms are products,
// so a row of pixels can step them instead.
constexpr std::uint64_t kScatterColumn = 0x9E3779B97F4A7C15ull, kScatterRow = 0xC2B2AE3D27D4EB4Full;

inline std::uint64_t scatterBitsOfKey(std::uint64_t h) noexcept {
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return h >> 11;
}

inline std::uint64_t scatterBits(std::int64_t x, std::int64_t y, std::uint32_t salt) noexcept {
    return scatterBitsOfKey((static_cast<std::uint64_t>(x) * kScatterColumn) ^
                            (static_cast<std::uint64_t>(y) * kScatterRow) ^ salt);
}

// bits / 2^52 - 1, worked without a 64-bit integer conversion, which vector
// units lack: the low 52 bits m become 2^52 + m by their bit pattern, and
// the top bit (worth one whole) is a select; every step is exact.
inline double scatterValue(std::uint64_t bits) noexcept {
    const double low =
        (std::bit_cast<double>((bits & 0xFFFFFFFFFFFFFull) | 0x4330000000000000ull) - 4503599627370496.0) *
        2.220446049250313e-16;  // m / 2^52
    return (bits >> 52) != 0 ? low : low - 1.0;
}

// The scatter at a pixel (shared by the Random transform's fast and plain
// forms).
inline double scatter(std::int64_t x, std::int64_t y, std::uint32_t salt) noexcept {
    return scatterValue(scatterBits(x, y, salt));
}

}  // namespace PLR_TRANSFORM_ISA
}  // namespace plr::effect_lib::fast
