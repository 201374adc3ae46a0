// The generators, the texture families and the bump displacement at
// 4000 x 3000 RGBA8, one thread, once each through PLR_IPLImageProcess.
// Counts scale with the page (one per ten thousand pixels per slider unit),
// so the shape generators run with slider 1 at 10 (1200 shapes) and modest
// sizes. Anchors: a memcpy of the layer's bytes, and OpenCV's randu filling
// the picture (the floor for a per-pixel noise field).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "bench_images.h"
#include "paloran.h"

namespace {

constexpr int kW = 4000, kH = 3000;

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> p = plr::bench::paintingRgba(kW, kH);
    return p;
}

void pixels(benchmark::State& s) { s.SetItemsProcessed(s.iterations() * std::int64_t{kW} * kH); }

struct BenchPage {
    BenchPage() {
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(1, kW, kH);
        PLR_CreateLayer(2, kW, kH);
        PLR_SetLayer(2);
        PLR_LoadRGBA32(picture().data(), kW * 4, 0);
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
    }
    ~BenchPage() { PLR_DeleteImage(); }
};

void MemcpyOfTheLayer(benchmark::State& s) {
    std::vector<std::uint8_t> in = picture(), out(in.size());
    for (auto _ : s) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
    }
    pixels(s);
}

void OpenCvRandu(benchmark::State& s) {
    cv::Mat m(kH, kW, CV_8UC4);
    cv::RNG rng(1234);
    for (auto _ : s) {
        rng.fill(m, cv::RNG::UNIFORM, 0, 256);
        benchmark::DoNotOptimize(m.data);
    }
    pixels(s);
}

BENCHMARK(MemcpyOfTheLayer)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCvRandu)->Unit(benchmark::kMillisecond);

struct Case {
    const char* name;
    int p[6];
    const char* script;  // relative to data/effects, or null
};

const Case kCases[] = {
    {"Lines", {10, 20, 300, 500, 200, 300}, nullptr},
    {"Points", {10, 100, 300, 0, 0, 0}, nullptr},
    {"Circles", {10, 5, 300, 50, 500, 0}, nullptr},
    {"Rectangles", {10, 5, 5, 300, 50, 500}, nullptr},
    {"Splines", {10, 100, 5, 300, 100, 500}, nullptr},
    {"Worms", {10, 20, 300, 100, 300, 0}, nullptr},
    {"Fibers", {100, 50, 50, 300, 50, 200}, nullptr},
    {"Trees", {2, 500, 20, 600, 200, 300}, nullptr},
    {"Generate Noise", {30, 30, 800, 0, 0, 0}, nullptr},
    {"Blobs", {1, 10, 0, 0, 0, 0}, nullptr},
    {"Plasma", {500, 0, 0, 0, 0, 0}, nullptr},
    {"Sine Plasma", {300, 200, 400, 300, 0, 0}, nullptr},
    {"Fractal Plasma", {0, 0, 0, 0, 0, 0}, nullptr},
    {"Generate Perlin Noise", {300, 500, 0, 0, 0, 0}, nullptr},
    {"Pattern", {400, 200, 100, 40, 800, 0}, nullptr},
    {"Backgrounds Nature", {1000, 0, 0, 0, 0, 0}, "Nature/clouds.efs"},
    {"Texturize Emboss Surface", {300, 400, 500, 0, 0, 0}, "Surface/brick.efs"},
    {"Texturize Bump Material", {500, 500, 500, 500, 0, 0}, "Material/wood.efs"},
    {"Displacement Bump Other", {300, 0, 0, 0, 0, 0}, "Other/marble.efs"},
};

void Named(benchmark::State& s, const Case* c) {
    BenchPage page;
    const std::string text = c->script ? std::string(PALORAN_SOURCE_DIR "/data/effects/") + c->script : std::string();
    for (auto _ : s)
        PLR_IPLImageProcess(0, c->name, 1234, c->p[0], c->p[1], c->p[2], c->p[3], c->p[4], c->p[5], 1, 0, 0, 0, 0, 0, 0,
                            0, 200, 120, 40, text.c_str());
    pixels(s);
}

const bool registered = [] {
    for (const Case& c : kCases)
        benchmark::RegisterBenchmark((std::string("Generate/") + c.name).c_str(), Named, &c)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
