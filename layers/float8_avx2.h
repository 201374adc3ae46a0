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

}  // namespace plr::simd
