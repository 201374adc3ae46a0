// Moving a 4096 x 4096 layer in and out through the RGBA32 and RGBA64
// exports, in megapixels per second, beside memcpy of the same host bytes
// (RGBA32: 64 MiB, RGBA64: 128 MiB) in the same run: the physical limit.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "history/layer_table.h"
#include "paloran.h"

namespace {

constexpr std::int32_t kSide = 4096;
constexpr std::size_t kPixels = std::size_t{kSide} * kSide;
constexpr std::int32_t kLayer = 2;

struct Buffers {
    std::vector<std::uint8_t> rgba32 = std::vector<std::uint8_t>(kPixels * 4);
    std::vector<std::uint8_t> rgba32Out = std::vector<std::uint8_t>(kPixels * 4);
    std::vector<std::uint8_t> rgba64 = std::vector<std::uint8_t>(kPixels * 8);
    std::vector<std::uint8_t> rgba64Out = std::vector<std::uint8_t>(kPixels * 8);
    std::vector<std::uint8_t> rgb24 = std::vector<std::uint8_t>(kPixels * 3);
};

// One page and one set of host buffers for the whole run. The source has
// varied colours and alphas (no alpha 0, so every pixel takes the full path);
// the mask varies over all its values so the coverage load meets every case.
Buffers& setup() {
    static Buffers* b = [] {
        PLR_CreateImage(nullptr, kSide, kSide, 16, 0);
        PLR_CreateLayer(kLayer, kSide, kSide);
        PLR_SetLayer(kLayer);
        auto* buffers = new Buffers();
        std::uint32_t s = 12345;
        for (std::size_t i = 0; i < buffers->rgba32.size(); ++i) {
            s = s * 1103515245u + 12345u;
            buffers->rgba32[i] = static_cast<std::uint8_t>(i % 4 == 3 ? (s >> 24) | 1 : s >> 24);
        }
        for (std::size_t i = 0; i < buffers->rgba64.size(); ++i) buffers->rgba64[i] = static_cast<std::uint8_t>(i * 7);
        for (std::size_t i = 0; i < buffers->rgb24.size(); ++i) buffers->rgb24[i] = static_cast<std::uint8_t>(i * 13);
        plr::Page& p = plr::page();
        for (std::size_t i = 0; i < kPixels; ++i) p.mask.plane[i] = static_cast<std::uint16_t>(i * 40503u);
        return buffers;
    }();
    return *b;
}

void report(benchmark::State& state, std::size_t hostBytes) {
    state.counters["MP/s"] = benchmark::Counter(
        static_cast<double>(kPixels) / 1e6 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(hostBytes));
}

void BM_Memcpy_RGBA32Bytes(benchmark::State& state) {
    Buffers& b = setup();
    for (auto _ : state) {
        std::memcpy(b.rgba32Out.data(), b.rgba32.data(), b.rgba32.size());
        benchmark::ClobberMemory();
    }
    report(state, b.rgba32.size());
}

void BM_Memcpy_RGBA64Bytes(benchmark::State& state) {
    Buffers& b = setup();
    for (auto _ : state) {
        std::memcpy(b.rgba64Out.data(), b.rgba64.data(), b.rgba64.size());
        benchmark::ClobberMemory();
    }
    report(state, b.rgba64.size());
}

void BM_LoadRGBA32Layer(benchmark::State& state) {
    Buffers& b = setup();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PLR_LoadRGBA32Layer(b.rgba32.data(), kSide * 4, kLayer, 0, 0, kSide, kSide, 0));
        benchmark::ClobberMemory();
    }
    report(state, b.rgba32.size());
}

void BM_LoadRGBA32Layer_Coverage(benchmark::State& state) {
    Buffers& b = setup();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PLR_LoadRGBA32Layer(b.rgba32.data(), kSide * 4, kLayer, 0, 0, kSide, kSide, 1));
        benchmark::ClobberMemory();
    }
    report(state, b.rgba32.size());
}

void BM_GetRGBA32Layer(benchmark::State& state) {
    Buffers& b = setup();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PLR_GetRGBA32Layer(b.rgba32Out.data(), kSide * 4, kLayer));
        benchmark::ClobberMemory();
    }
    report(state, b.rgba32Out.size());
}

void BM_SetRGBA64Layer(benchmark::State& state) {
    Buffers& b = setup();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PLR_SetRGBA64Layer(b.rgba64.data(), kSide * 8, kLayer));
        benchmark::ClobberMemory();
    }
    report(state, b.rgba64.size());
}

void BM_GetRGBA64Layer(benchmark::State& state) {
    Buffers& b = setup();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PLR_GetRGBA64Layer(b.rgba64Out.data(), kSide * 8, kLayer));
        benchmark::ClobberMemory();
    }
    report(state, b.rgba64Out.size());
}

// The RGB24 loads into the current layer (layer 2), plain and under the mask.
void loadRGB24(benchmark::State& state, bool toAlpha, std::int32_t covered) {
    Buffers& b = setup();
    for (auto _ : state) {
        benchmark::DoNotOptimize(toAlpha ? PLR_LoadRGB24ToAlpha(b.rgb24.data(), kSide * 3, covered)
                                         : PLR_LoadRGB24(b.rgb24.data(), kSide * 3, covered));
        benchmark::ClobberMemory();
    }
    report(state, b.rgb24.size());
}
void BM_LoadRGB24(benchmark::State& state) { loadRGB24(state, false, 0); }
void BM_LoadRGB24_Coverage(benchmark::State& state) { loadRGB24(state, false, 1); }
void BM_LoadRGB24ToAlpha_Coverage(benchmark::State& state) { loadRGB24(state, true, 1); }

BENCHMARK(BM_Memcpy_RGBA32Bytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRGBA32Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRGBA32Layer_Coverage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetRGBA32Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy_RGBA64Bytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetRGBA64Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetRGBA64Layer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRGB24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRGB24_Coverage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRGB24ToAlpha_Coverage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
