// PLR_SetTool with grit on the largest brush, and a sweep effect on a large
// picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "imaging/filters/filters.h"
#include "engine/engine.h"
#include "paloran.h"

namespace {

void SetToolWithGrit512(benchmark::State& state) {
    plr::resetEngine();
    PLR_SetRandomSeed(1);
    PLR_CreateImage(nullptr, 64, 64, 512, 0);
    PLR_SetSize(512);
    for (auto _ : state) {
        PLR_SetTool(1.0f, static_cast<int32_t>(state.range(0)), 128, 160, 64, 0, 10, 0, 0, 0, 0, 0, 0, "", "", 0);
        benchmark::DoNotOptimize(plr::page().brush.gritTextures[19].data());
    }
    PLR_DeleteImage();
    plr::resetEngine();
}
BENCHMARK(SetToolWithGrit512)->Arg(2)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void SweepEffect4096(benchmark::State& state, const char* name) {
    constexpr int kSide = 4096;
    std::vector<std::uint8_t> src(std::size_t(kSide) * kSide * 4), dst(src.size());
    std::uint32_t s = 12345;
    for (auto& v : src) v = static_cast<std::uint8_t>((s = s * 214013u + 2531011u) >> 16);
    plr::EffectArguments args;
    args.p[0] = 300;
    args.p[1] = 500;
    args.p[2] = 800;
    args.p[3] = 800;
    for (auto _ : state) {
        plr::effectOnImage(plr::engine().filters, src.data(), dst.data(), kSide, kSide, name, 0, args);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(src.size()));
}
BENCHMARK_CAPTURE(SweepEffect4096, ValueBlur, "Value Blur")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SweepEffect4096, NoiseReduction, "Noise Reduction")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
