// The render's chunk kernels with AVX2, eight pixels a step (compiled with
// -mavx2, entered only after the processor check in render_compose.cpp).
// Every helper is local to this file; see render_kernel.h.
#include <immintrin.h>

#include <array>
#include <cmath>
#include <utility>

#include "layers/render_kernel.h"
#include "layers/float8_avx2.h"

namespace plr::draw {
namespace {

using simd::F8;

struct Avx2 {
    using V = F8;
    static constexpr int kLanes = 8;
    // Eight RGBA pixels as one float vector per channel.
    static void load(const std::uint16_t* p, V ch[4]) noexcept {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));       // pixels 0..3
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 16));  // pixels 4..7
        const __m256i lo = _mm256_permute2x128_si256(a, b, 0x20);  // pixels 0,1,4,5
        const __m256i hi = _mm256_permute2x128_si256(a, b, 0x31);  // pixels 2,3,6,7
        const __m256i t0 = _mm256_unpacklo_epi16(lo, hi), t1 = _mm256_unpackhi_epi16(lo, hi);
        const __m256i rg = _mm256_unpacklo_epi16(t0, t1), ba = _mm256_unpackhi_epi16(t0, t1);
        const __m256i zero = _mm256_setzero_si256();
        // Each 128-bit half now holds four pixels as the SSE2 path loads them:
        // the channel lanes come out in pixel order 0..3 | 4..7.
        auto channel = [](__m256i v) { return F8{_mm256_cvtepi32_ps(v)}; };
        ch[0] = channel(_mm256_unpacklo_epi16(rg, zero));
        ch[1] = channel(_mm256_unpackhi_epi16(rg, zero));
        ch[2] = channel(_mm256_unpacklo_epi16(ba, zero));
        ch[3] = channel(_mm256_unpackhi_epi16(ba, zero));
    }
    // The scales are whole numbers: 1 / reciprocal rounds back to them exactly.
    static V scaled(V v, double reciprocal) noexcept {
        return simd::quotient(v.v, static_cast<float>(std::round(1.0 / reciprocal)), static_cast<float>(reciprocal));
    }
    static V truncate(V v) noexcept { return {_mm256_cvtepi32_ps(_mm256_cvttps_epi32(v.v))}; }
    static bool none(V m) noexcept { return _mm256_movemask_ps(m.v) == 0; }
    static V orMask(V a, V b) noexcept { return {_mm256_or_ps(a.v, b.v)}; }
    static V andNotMask(V a, V b) noexcept { return {_mm256_andnot_ps(a.v, b.v)}; }
    static V loadf(const float* p) noexcept { return {_mm256_loadu_ps(p)}; }
    static void storef(float* p, V v) noexcept { _mm256_storeu_ps(p, v.v); }
};

template <int F>
void kernel(const std::uint16_t* src, std::int32_t n, const KernelParams& kp, Running& run, int entry,
            const std::uint16_t* ahead) noexcept {
    composeChunkT<Avx2, F>(src, n, kp, run, entry, ahead);
}

template <int... F>
constexpr std::array<ChunkFn, sizeof...(F)> makeTable(std::integer_sequence<int, F...>) {
    return {&kernel<F>...};
}

}  // namespace

ChunkFn chunkKernelAvx2(std::int32_t formula) noexcept {
    static constexpr auto table = makeTable(std::make_integer_sequence<int, 20>{});
    return formula >= 0 && formula < 20 ? table[static_cast<std::size_t>(formula)] : table[0];
}

}  // namespace plr::draw
