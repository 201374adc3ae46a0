// Dab throughput: dabs per second and dab megapixels per second (the stamped
// square, diameter^2, per dab) for diameters 16, 64, 256 and 1000 in Normal
// mode, smudging (mixing buffer with remix) and with grit and paper texture;
// the same turned by 30 degrees (Normal and smudge), with the plain
// reference loop beside the rotated Normal dab; and, as a yardstick,
// libmypaint's dab on its fixed tiled surface (full hardness, opaque, one
// thread) at the same diameters.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "brush/dab.h"
#include "engine/engine.h"
#include "paloran.h"

#ifdef PALORAN_BENCH_MYPAINT
#include <mypaint-fixed-tiled-surface.h>
#include <mypaint-surface.h>
extern "C" void omp_set_num_threads(int);
#endif

namespace {

constexpr int kWidth = 1600, kHeight = 1200;
constexpr int kDabsPerIteration = 8;

enum class Kind { Normal, Smudge, GritTexture };

struct DabCase {
    Kind kind;
    bool rotated = false;
    plr::DabPath path = plr::DabPath::Auto;
};

// The centre of dab n along a stroke: dabs a quarter diameter apart on
// horizontal passes half a diameter apart, the whole dab inside the page.
void centre(int n, int diameter, int& x, int& y) {
    const long spanX = kWidth - diameter - 2, spanY = kHeight - diameter - 2;
    const long along = static_cast<long>(n) * (diameter / 4 > 0 ? diameter / 4 : 1);
    x = static_cast<int>(diameter / 2 + 1 + along % spanX);
    y = static_cast<int>(diameter / 2 + 1 + (along / spanX * (diameter / 2 + 1)) % spanY);
}

void setCounters(benchmark::State& state, int diameter) {
    const double dabs = static_cast<double>(state.iterations()) * kDabsPerIteration;
    state.SetItemsProcessed(static_cast<std::int64_t>(dabs));
    state.counters["dabs/s"] = benchmark::Counter(dabs, benchmark::Counter::kIsRate);
    state.counters["Mpx/s"] = benchmark::Counter(dabs * diameter * diameter / 1e6, benchmark::Counter::kIsRate);
}

void Dabs(benchmark::State& state, DabCase c) {
    const Kind kind = c.kind;
    const int diameter = static_cast<int>(state.range(0));
    plr::resetEngine();
    PLR_SetRandomSeed(1);
    PLR_CreateImage(nullptr, kWidth, kHeight, 1001, 0);
    PLR_CreateLayer(1, kWidth, kHeight);  // opaque white
    PLR_SetLayer(1);
    PLR_SetSize(diameter);
    PLR_SetAlpha(100);
    PLR_SetDensity(200);
    const int grit = kind == Kind::GritTexture ? 4 : 0;
    const int blend = kind == Kind::Smudge ? 128 : 0;
    PLR_SetTool(1.0f, grit, 140, 200, 0, 0, 1000000, blend, 0, blend ? 1 : 0, 0, 0, 0, "", "", 0);
    PLR_ClearBlendBuffer();
    if (kind == Kind::GritTexture) {
        plr::Page& p = plr::page();
        if (p.texture.allocate(p.pixelCount()))
            for (std::size_t i = 0; i < p.pixelCount(); ++i)
                p.texture.data()[i] = static_cast<std::uint8_t>(4 + (i * 2654435761u >> 13) % 247);
    }
    if (kind == Kind::Smudge) PLR_CopyBlendBufferSurface(kWidth / 2, kHeight / 2, 128, 0);
    if (c.rotated) PLR_SetRotateBrushMode(1, 30);
    int n = 0;
    for (auto _ : state) {
        for (int k = 0; k < kDabsPerIteration; ++k, ++n) {
            int x, y;
            centre(n, diameter, x, y);
            if (c.path == plr::DabPath::Auto)
                PLR_DrawDabGrit(x, y, 0x4000 + (n & 0xFF) * 64, 0x8000, 0xC000);
            else
                plr::drawDab(plr::page(), x, y, 0x4000 + (n & 0xFF) * 64, 0x8000, 0xC000, c.path);
        }
        benchmark::DoNotOptimize(plr::page().currentLayer->pixels.data());
    }
    setCounters(state, diameter);
    PLR_DeleteImage();
    plr::resetEngine();
}

// Every dab benchmark, ours and the anchor's, runs the same diameters.
void diameters(benchmark::internal::Benchmark* b) {
    b->Arg(16)->Arg(64)->Arg(256)->Arg(1000)->MinTime(0.2)->Unit(benchmark::kMicrosecond);
}

#ifdef PALORAN_BENCH_MYPAINT
void MyPaintDabs(benchmark::State& state) {
    const int diameter = static_cast<int>(state.range(0));
    omp_set_num_threads(1);
    MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kWidth, kHeight);
    MyPaintSurface* surface = mypaint_fixed_tiled_surface_interface(fixed);
    int n = 0;
    for (auto _ : state) {
        mypaint_surface_begin_atomic(surface);
        for (int k = 0; k < kDabsPerIteration; ++k, ++n) {
            int x, y;
            centre(n, diameter, x, y);
            mypaint_surface_draw_dab(surface, static_cast<float>(x), static_cast<float>(y), diameter / 2.0f,
                                     0.25f + (n & 0xFF) / 1024.0f, 0.5f, 0.75f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f,
                                     0.0f);
        }
        MyPaintRectangle roi;
        mypaint_surface_end_atomic(surface, &roi);
        benchmark::DoNotOptimize(roi);
    }
    setCounters(state, diameter);
    mypaint_surface_unref(surface);
}
BENCHMARK(MyPaintDabs)->Apply(diameters);
#endif

BENCHMARK_CAPTURE(Dabs, Normal, DabCase{Kind::Normal})->Apply(diameters);
BENCHMARK_CAPTURE(Dabs, Smudge, DabCase{Kind::Smudge})->Apply(diameters);
BENCHMARK_CAPTURE(Dabs, GritTexture, DabCase{Kind::GritTexture})->Apply(diameters);
BENCHMARK_CAPTURE(Dabs, Rotated, DabCase{Kind::Normal, true})->Apply(diameters);
BENCHMARK_CAPTURE(Dabs, RotatedReference, DabCase{Kind::Normal, true, plr::DabPath::Reference})->Apply(diameters);
BENCHMARK_CAPTURE(Dabs, RotatedSmudge, DabCase{Kind::Smudge, true})->Apply(diameters);

}  // namespace

BENCHMARK_MAIN();
