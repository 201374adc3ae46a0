#include "layers/blend_batch.h"

#include <array>
#include <utility>

#include "layers/blend_lanes.h"
#include "layers/blend_modes.h"

namespace plr {
namespace {

inline __m128i load(const std::int32_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store(std::int32_t* p, __m128i v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }

template <int F>
void composeAll(FloatBatch& b) noexcept {
    b.pad();
    for (int i = 0; i < b.count; i += 4) {
        lanes::Lanes in;
        for (int c = 0; c < 3; ++c) {
            in.src[c] = load(b.src[c] + i);
            in.dst[c] = load(b.dst[c] + i);
        }
        in.srcAlpha = load(b.srcAlpha + i);
        in.dstAlpha = load(b.dstAlpha + i);
        in.lum = load(b.lum + i);
        const lanes::LanesOut out = lanes::composeLanes<F>(in);
        for (int c = 0; c < 3; ++c) store(b.out[c] + i, out.c[c]);
        store(b.out[3] + i, out.a);
    }
}

using ComposeFn = void (*)(FloatBatch&) noexcept;

template <int... F>
constexpr auto makeTable(std::integer_sequence<int, F...>) {
    return std::array<ComposeFn, sizeof...(F)>{&composeAll<F>...};
}

}  // namespace

void composeBatch(FloatBatch& batch, std::int32_t f) noexcept {
    static constexpr auto table = makeTable(std::make_integer_sequence<int, kModeTexturize3 + 1>{});
    table[static_cast<std::size_t>(formulaOf(f))](batch);
}

}  // namespace plr
