// Rendering a 1920 x 1080 view of a 4096 x 4096 page into a 24-bit bitmap,
// with 1, 4 and 16 visible layers (the opaque white background counted
// among them), all Normal or a mix of modes and opacities, at 1:1,
// magnified 4x and reduced to a quarter, beside memcpy of the layer bytes
// the render reads (each layer's rows of the shown page rectangle, or the
// sampled pixels when reduced) in the same run.
//
// Layers look like paint: 64 x 64 tiles that are transparent (half of
// them), opaque, or a soft alpha ramp, each tile its own colour.
//
//   bench_render  (about a minute; --benchmark_filter=... to pick cases)
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine/engine.h"
#include "engine/threading.h"
#include "platform/thread_pool.h"
#include "paloran.h"

namespace {

constexpr std::int32_t kSide = 4096;
constexpr std::int32_t kViewW = 1920, kViewH = 1080;
constexpr int kMaxLayers = 16;

void paintLayer(std::uint16_t* px, std::uint32_t seed) {
    std::mt19937 rng(seed);
    constexpr int kTile = 64, kTiles = kSide / kTile;
    for (int ty = 0; ty < kTiles; ++ty)
        for (int tx = 0; tx < kTiles; ++tx) {
            const std::uint32_t kind = rng() % 4;  // 0, 1: transparent, 2: opaque, 3: soft
            std::uint16_t colour[3];
            for (auto& c : colour) c = static_cast<std::uint16_t>(rng() % 0xFF01);
            for (int y = 0; y < kTile; ++y) {
                std::uint16_t* row = px + (static_cast<std::size_t>(ty * kTile + y) * kSide + tx * kTile) * 4;
                for (int x = 0; x < kTile; ++x) {
                    std::uint16_t* p = row + 4 * x;
                    p[0] = colour[0];
                    p[1] = static_cast<std::uint16_t>(colour[1] ^ (x << 4));
                    p[2] = colour[2];
                    p[3] = kind < 2 ? 0 : kind == 2 ? 0xFFFF : static_cast<std::uint16_t>((x + y) * 516);
                }
            }
        }
}

struct Page {
    Page() {
        PLR_CreateImage(nullptr, kSide, kSide, 8, 0);
        PLR_CreateLayer(1, kSide, kSide);
        PLR_SetLayerOptions(1, 1, 0, 100, "Normal");
        for (int i = 0; i < kMaxLayers - 1; ++i) {
            PLR_CreateLayer(2 + i, kSide, kSide);
            paintLayer(plr::page().layers[2 + i].pixels.data(), 100 + static_cast<std::uint32_t>(i));
        }
        PLR_SetLayer(2);
    }
};

Page& testPage() {
    static Page p;
    return p;
}

// Layers 1 .. count visible; the rest hidden.
void setLayers(int count, bool mixed) {
    static const char* const kMix[] = {"Normal", "Multiply", "Screen", "Overlay", "Soft Light", "Darken", "Lighten", "Hard Light"};
    static const std::int32_t kOpacity[] = {100, 80, 100, 60, 100, 90, 100, 70};
    for (int i = 0; i < kMaxLayers - 1; ++i) {
        const bool shown = i + 2 <= count;
        PLR_SetLayerOptions(2 + i, shown ? 1 : 0, 0, mixed ? kOpacity[i % 8] : 100, mixed ? kMix[i % 8] : "Normal");
    }
}

enum Path { kOne = 0, kMagnified = 1, kReduced = 2 };

void applyPath(int path) {
    if (path == kOne) PLR_SetScale(1, 1.0f);
    else if (path == kMagnified) PLR_SetScale(4, 1.0f);
    else PLR_SetScale(1, 4.0f);
    PLR_SetViewSize(kViewW, kViewH);
}

// Page rectangle a path shows in the view, and the pixels it reads per layer.
struct Shown {
    std::int32_t w, h, step;
};
Shown shownOf(int path) {
    if (path == kOne) return {kViewW, kViewH, 1};
    if (path == kMagnified) return {kViewW / 4, kViewH / 4, 1};
    return {kSide, kSide, 4};  // reduced: 1024 x 1024 display pixels, every fourth page pixel read
}

void BM_Render(benchmark::State& state) {
    testPage();
    const int layers = static_cast<int>(state.range(0));
    const bool mixed = state.range(1) != 0;
    const int path = static_cast<int>(state.range(2));
    setLayers(layers, mixed);
    applyPath(path);
    const Shown s = shownOf(path);
    std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(kViewW) * 3 * kViewH);
    for (auto _ : state) {
        PLR_Render(bitmap.data(), kViewW * 3, 0, 0, s.w, s.h);
        benchmark::DoNotOptimize(bitmap.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The layer bytes the render reads, copied with memcpy (whole rows), or the
// sampled pixels one by one for the reduced view.
void BM_MemcpyOfReadBytes(benchmark::State& state) {
    testPage();
    const int layers = static_cast<int>(state.range(0));
    const int path = static_cast<int>(state.range(2));
    const Shown s = shownOf(path);
    const std::size_t perLayer = static_cast<std::size_t>(s.w / s.step) * (s.h / s.step) * 8;
    std::vector<std::uint8_t> out(perLayer * layers);
    for (auto _ : state) {
        std::uint8_t* q = out.data();
        for (int l = 0; l < layers; ++l) {
            const std::uint16_t* px = plr::page().layers[1 + l].pixels.data();
            for (std::int32_t y = 0; y < s.h; y += s.step) {
                const std::uint16_t* row = px + static_cast<std::size_t>(y) * kSide * 4;
                if (s.step == 1) {
                    std::memcpy(q, row, static_cast<std::size_t>(s.w) * 8);
                    q += static_cast<std::size_t>(s.w) * 8;
                } else {
                    for (std::int32_t x = 0; x < s.w; x += s.step, q += 8) std::memcpy(q, row + 4 * x, 8);
                }
            }
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(perLayer * layers) * state.iterations());
}

void cases(benchmark::internal::Benchmark* b, bool withModes) {
    for (int path : {kOne, kMagnified, kReduced})
        for (int layers : {1, 4, 16})
            for (int mixed : {0, 1}) {
                if (!withModes && mixed) continue;
                b->Args({layers, mixed, path});
            }
    b->ArgNames({"layers", "mixed", "path"})->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

// The 4K display: 3840 x 2160 page pixels of 4 layers at 1:1, on one
// thread and on every thread (range 1: 0 = all), beside memcpy of the
// 4 x 3840 x 2160 layer pixels it reads. Frames per second are counted in
// wall time: the calling thread's processor time leaves out the workers'.
constexpr std::int32_t k4kW = 3840, k4kH = 2160;

void BM_Render4K(benchmark::State& state) {
    testPage();
    setLayers(4, state.range(0) != 0);
    PLR_SetScale(1, 1.0f);
    PLR_SetViewSize(k4kW, k4kH);
    const auto threads = static_cast<std::int32_t>(state.range(1));
    plr::setThreadCount(threads == 0 ? plr::platform::processorCount() : threads);
    std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(k4kW) * 3 * k4kH);
    for (auto _ : state) {
        PLR_Render(bitmap.data(), k4kW * 3, 0, 0, k4kW, k4kH);
        benchmark::DoNotOptimize(bitmap.data());
        benchmark::ClobberMemory();
    }
    plr::setThreadCount(plr::platform::processorCount());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Memcpy4K(benchmark::State& state) {
    testPage();
    const std::size_t row = static_cast<std::size_t>(k4kW) * 8;
    std::vector<std::uint8_t> out(row * k4kH * 4);
    for (auto _ : state) {
        std::uint8_t* q = out.data();
        for (int l = 0; l < 4; ++l) {
            const std::uint16_t* px = plr::page().layers[1 + l].pixels.data();
            for (std::int32_t y = 0; y < k4kH; ++y, q += row) std::memcpy(q, px + static_cast<std::size_t>(y) * kSide * 4, row);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Memcpy4K)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render4K)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->ArgNames({"mixed", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_MemcpyOfReadBytes)->Apply([](benchmark::internal::Benchmark* b) { cases(b, false); });
BENCHMARK(BM_Render)->Apply([](benchmark::internal::Benchmark* b) { cases(b, true); });

}  // namespace

BENCHMARK_MAIN();
