// The render's chunk kernels on SSE2 (four pixels a step), and the choice
// between them and the AVX2 ones (render_compose_avx2.cpp).
#include <emmintrin.h>

#include <array>
#include <utility>

#include "layers/blend_lanes.h"
#include "layers/render_kernel.h"

namespace plr::draw {
namespace {

struct Sse2 {
    using V = lanes::F4;
    static constexpr int kLanes = 4;
    // Four RGBA pixels as one float vector per channel.
    static void load(const std::uint16_t* p, V ch[4]) noexcept {
        const __m128i zero = _mm_setzero_si128();
        const __m128i p01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i p23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        const __m128i t0 = _mm_unpacklo_epi16(p01, p23), t1 = _mm_unpackhi_epi16(p01, p23);
        const __m128i rg = _mm_unpacklo_epi16(t0, t1), ba = _mm_unpackhi_epi16(t0, t1);
        ch[0] = {_mm_cvtepi32_ps(_mm_unpacklo_epi16(rg, zero))};
        ch[1] = {_mm_cvtepi32_ps(_mm_unpackhi_epi16(rg, zero))};
        ch[2] = {_mm_cvtepi32_ps(_mm_unpacklo_epi16(ba, zero))};
        ch[3] = {_mm_cvtepi32_ps(_mm_unpackhi_epi16(ba, zero))};
    }
    static V scaled(V v, double reciprocal) noexcept {
        const __m128d r = _mm_set1_pd(reciprocal);
        const __m128d lo = _mm_mul_pd(_mm_cvtps_pd(v.v), r);
        const __m128d hi = _mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(v.v, v.v)), r);
        return {_mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi))};
    }
    static V truncate(V v) noexcept { return {_mm_cvtepi32_ps(_mm_cvttps_epi32(v.v))}; }
    static bool none(V m) noexcept { return _mm_movemask_ps(m.v) == 0; }
    static V orMask(V a, V b) noexcept { return {_mm_or_ps(a.v, b.v)}; }
    static V andNotMask(V a, V b) noexcept { return {_mm_andnot_ps(a.v, b.v)}; }
    static V loadf(const float* p) noexcept { return {_mm_loadu_ps(p)}; }
    static void storef(float* p, V v) noexcept { _mm_storeu_ps(p, v.v); }
};

template <int F>
void kernel(const std::uint16_t* src, std::int32_t n, const KernelParams& kp, Running& run, int entry,
            const std::uint16_t* ahead) noexcept {
    composeChunkT<Sse2, F>(src, n, kp, run, entry, ahead);
}

template <int... F>
constexpr std::array<ChunkFn, sizeof...(F)> makeTable(std::integer_sequence<int, F...>) {
    return {&kernel<F>...};
}

}  // namespace

ChunkFn chunkKernelSse2(std::int32_t formula) noexcept {
    static constexpr auto table = makeTable(std::make_integer_sequence<int, 20>{});
    return formula >= 0 && formula < 20 ? table[static_cast<std::size_t>(formula)] : table[0];
}

}  // namespace plr::draw
