#pragma once
// Eight floats in an AVX2 register, with the operators the blend formulas
// (layers/blend_formula.h) are written in. Include only from files compiled
// with -mavx2 (*_avx2.cpp).
#include <immintrin.h>

namespace plr::simd {

struct F8 {
    __m256 v;
    static F8 splat(float x) { return {_mm256_set1_ps(x)}; }
};
inline F8 operator+(F8 a, F8 b) { return {_mm256_add_ps(a.v, b.v)}; }
inline F8 operator-(F8 a, F8 b) { return {_mm256_sub_ps(a.v, b.v)}; }
inline F8 operator*(F8 a, F8 b) { return {_mm256_mul_ps(a.v, b.v)}; }
inline F8 operator/(F8 a, F8 b) { return {_mm256_div_ps(a.v, b.v)}; }
// The same predicates as cmpltps, cmpleps and cmpgeps: false where a value is NaN.
inline F8 operator<(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OS)}; }
inline F8 operator<=(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LE_OS)}; }
inline F8 operator>=(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GE_OS)}; }
inline F8 select(F8 mask, F8 a, F8 b) { return {_mm256_blendv_ps(b.v, a.v, mask.v)}; }
inline F8 lesser(F8 x, F8 y) { return {_mm256_min_ps(x.v, y.v)}; }
inline F8 root(F8 x) { return {_mm256_sqrt_ps(x.v)}; }
inline F8 clamp01v(F8 x) { return {_mm256_min_ps(_mm256_max_ps(x.v, _mm256_setzero_ps()), _mm256_set1_ps(1.0f))}; }
inline bool allOne(F8 x) { return _mm256_movemask_ps(_mm256_cmp_ps(x.v, _mm256_set1_ps(1.0f), _CMP_EQ_OQ)) == 0xFF; }

// x / k in float for integer-valued x in 0..3 * 0xFFFF and the composition's
// scales k (0xFF00, 0xFFFF, 3 * 0xFF00): the product with the rounded
// reciprocal, corrected once by the residual x - q * k (two fused steps).
// That is the correctly rounded quotient for every such x (the exhaustive
// check is a unit test), at a fraction of the cost of the division or of the
// detour through double. These files are built for, and entered only on,
// processors with FMA beside AVX2.
inline F8 quotient(__m256 x, float k, float reciprocal) {
    const __m256 r = _mm256_set1_ps(reciprocal);
    const __m256 q = _mm256_mul_ps(x, r);
    const __m256 residual = _mm256_fnmadd_ps(q, _mm256_set1_ps(k), x);
    return {_mm256_fmadd_ps(residual, r, q)};
}
inline F8 quotient(__m256i x, float k, float reciprocal) { return quotient(_mm256_cvtepi32_ps(x), k, reciprocal); }
// x / 3 rounded down for integers 0 <= x < 2^18: float(1/3) exceeds 1/3 by
// less than 2^-26, so x * float(1/3) lies in [x / 3, x / 3 + 1/256) and rounds
// to a float no lower than the whole part (a float itself) and below the
// next whole number (x / 3 is at most 2/3 past the whole part).
inline __m256i third(__m256i x) {
    return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(x), _mm256_set1_ps(1.0f / 3.0f)));
}
// The three scales with their rounded reciprocals.
struct Scale {
    float k, reciprocal;
};
inline constexpr Scale kPerColour8{65280.0f, static_cast<float>(1.0 / 65280.0)};
inline constexpr Scale kPerAlpha8{65535.0f, static_cast<float>(1.0 / 65535.0)};
inline constexpr Scale kPerLum8{195840.0f, static_cast<float>(1.0 / 195840.0)};
template <class X>
inline F8 quotient(X x, Scale s) {
    return quotient(x, s.k, s.reciprocal);
}

}  // namespace plr::simd
