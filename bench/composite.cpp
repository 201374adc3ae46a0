// The composite filters, levels and the stand-alone photo pop and RGB24
// blur at 4000 x 3000 RGBA8, one thread, each once through its export.
// Anchor (same run, same picture): a memcpy of the layer's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench_images.h"
#include "bench_page.h"
#include "paloran.h"

namespace {

constexpr int kW = 4000, kH = 3000;

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> p = plr::bench::paintingRgba(kW, kH);
    return p;
}

void pixels(benchmark::State& s) { s.SetItemsProcessed(s.iterations() * std::int64_t{kW} * kH); }

struct BenchPage : plr::bench::BenchPage {
    BenchPage() : plr::bench::BenchPage(picture(), kW, kH) {}
};

void MemcpyOfTheLayer(benchmark::State& s) { plr::bench::memcpyOfLayer(s, kW, kH); }

void PhotoPopExport(benchmark::State& s) {
    BenchPage page;
    for (auto _ : s) PLR_IPLPhotoPop(600, 70.0, 1);
    pixels(s);
}

void BlurMoreBufferRGB24(benchmark::State& s) {
    std::vector<std::uint8_t> rgb(std::size_t(kW) * kH * 3);
    for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i) std::memcpy(&rgb[i * 3], &picture()[i * 4], 3);
    for (auto _ : s) PLR_BlurMoreBufferRGB24(rgb.data(), kW, kH, 15, 80);
    pixels(s);
}

void Named(benchmark::State& s, std::string name) {
    BenchPage page;
    for (auto _ : s)
        PLR_IPLImageProcess(0, name.c_str(), 1234, 350, 650, 400, 600, 450, 550, 1, 0, 1, 0, 1, 0, 0, 0, 200, 120, 40,
                            "");
    pixels(s);
}

BENCHMARK(MemcpyOfTheLayer)->Unit(benchmark::kMillisecond);
BENCHMARK(PhotoPopExport)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BlurMoreBufferRGB24)->Unit(benchmark::kMillisecond)->Iterations(1);

const bool registered = [] {
    for (const char* name : {"Charcoal", "Color Pencil", "Color Pencil 2", "Crayon", "Pointillism",
                             "Watercolor and Ink", "Levels", "Contrast Mask", "Photo Pop", "Photo Detailer", "Radiant",
                             "Radiant 2", "Drop Shadow", "Frosted Glass", "Glow", "Edge3", "Emboss3", "Outliner 1",
                             "Outliner 2"})
        benchmark::RegisterBenchmark((std::string("Composite/") + name).c_str(), Named, std::string(name))
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
