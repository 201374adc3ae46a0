// HSL and HSV adjustment of a 4096 x 4096 RGBA32 buffer: the exported path
// (colour memo) and the plain per-pixel path, on random and painting-like
// pictures. Items are pixels, so items_per_second reads as pixels/s.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_images.h"
#include "imaging/hsl_adjust.h"

namespace {

using Adjust = void (*)(std::uint8_t*, std::int32_t, std::int32_t, const plr::ColourShift&) noexcept;

void run(benchmark::State& state, Adjust adjust, bool painting) {
    const std::vector<std::uint8_t> src = painting ? plr::bench::paintingRgba(plr::bench::kSide, plr::bench::kSide)
                                                   : plr::bench::randomRgba(plr::bench::kSide, plr::bench::kSide);
    std::vector<std::uint8_t> buf(src.size());
    const plr::ColourShift shift{40, 20, -10};
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(buf.data(), src.data(), src.size());
        state.ResumeTiming();
        adjust(buf.data(), plr::bench::kSide, plr::bench::kSide, shift);
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(plr::bench::kSide) * plr::bench::kSide);
}

void HslRandom(benchmark::State& s) { run(s, plr::hslAdjust, false); }
void HslPainting(benchmark::State& s) { run(s, plr::hslAdjust, true); }
void HslPlainRandom(benchmark::State& s) { run(s, plr::hslAdjustPlain, false); }
void HslPlainPainting(benchmark::State& s) { run(s, plr::hslAdjustPlain, true); }
void HsvRandom(benchmark::State& s) { run(s, plr::hsvAdjust, false); }
void HsvPainting(benchmark::State& s) { run(s, plr::hsvAdjust, true); }
void HsvPlainRandom(benchmark::State& s) { run(s, plr::hsvAdjustPlain, false); }
void HsvPlainPainting(benchmark::State& s) { run(s, plr::hsvAdjustPlain, true); }

BENCHMARK(HslRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(HslPainting)->Unit(benchmark::kMillisecond);
BENCHMARK(HslPlainRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(HslPlainPainting)->Unit(benchmark::kMillisecond);
BENCHMARK(HsvRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(HsvPainting)->Unit(benchmark::kMillisecond);
BENCHMARK(HsvPlainRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(HsvPlainPainting)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
