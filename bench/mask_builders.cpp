// Range builders over a 4096 x 4096 RGBA32 buffer into a page-sized mask.
// Items are pixels, so items_per_second reads as pixels/s.
#include <benchmark/benchmark.h>

#include "bench_images.h"
#include "mask/builders.h"

namespace {

constexpr std::size_t kPixels = static_cast<std::size_t>(plr::bench::kSide) * plr::bench::kSide;

template <class F>
void run(benchmark::State& state, bool painting, F&& build) {
    const std::vector<std::uint8_t> src = painting ? plr::bench::paintingRgba(plr::bench::kSide, plr::bench::kSide)
                                                   : plr::bench::randomRgba(plr::bench::kSide, plr::bench::kSide);
    std::vector<std::uint16_t> mask(kPixels, 0xFFFF);
    for (auto _ : state) {
        build(mask.data(), src.data());
        benchmark::DoNotOptimize(mask.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPixels));
}

void ColourRange(benchmark::State& s) {
    run(s, false, [](std::uint16_t* m, const std::uint8_t* px) {
        plr::maskFromColourRange(m, kPixels, px, 120, 60, 200, 30, 0x8000);
    });
}
void LuminanceRange(benchmark::State& s) {
    run(s, false, [](std::uint16_t* m, const std::uint8_t* px) {
        plr::maskFromLuminanceRange(m, kPixels, px, 120, 60, 200, 30, 0x8000);
    });
}
void HueRangeRandom(benchmark::State& s) {
    run(s, false, [](std::uint16_t* m, const std::uint8_t* px) {
        plr::maskFromHueRange(m, kPixels, px, 255, 0, 40, 10, 0x8000);
    });
}
void HueRangePainting(benchmark::State& s) {
    run(s, true, [](std::uint16_t* m, const std::uint8_t* px) {
        plr::maskFromHueRange(m, kPixels, px, 255, 0, 40, 10, 0x8000);
    });
}
void HueRangePlainRandom(benchmark::State& s) {
    run(s, false, [](std::uint16_t* m, const std::uint8_t* px) {
        plr::maskFromHueRangePlain(m, kPixels, px, 255, 0, 40, 10, 0x8000);
    });
}
void HslRangePainting(benchmark::State& s) {
    run(s, true, [](std::uint16_t* m, const std::uint8_t* px) {
        plr::maskFromHslRange(m, kPixels, px, 255, 0, 40, 0.1, 0.3, 0.3, 0x8000);
    });
}

BENCHMARK(ColourRange)->Unit(benchmark::kMillisecond);
BENCHMARK(LuminanceRange)->Unit(benchmark::kMillisecond);
BENCHMARK(HueRangeRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(HueRangePainting)->Unit(benchmark::kMillisecond);
BENCHMARK(HueRangePlainRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(HslRangePainting)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
