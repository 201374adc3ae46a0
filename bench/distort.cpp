// The transform-list distortions at 4000 x 3000 RGBA8, one thread, beside
// OpenCV's remap with a precomputed map of the same size (bilinear): the
// yardstick is the sampling alone; "Map" rows time working out the map.
#include <benchmark/benchmark.h>

#include <functional>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "adapters/effects/transforms.h"
#include "bench_images.h"

namespace {

using namespace plr;
namespace el = effect_lib;

constexpr int kW = 4000, kH = 3000, kM = 4000;

using Adder = std::function<int(el::TransformList&)>;

struct Named {
    const char* name;
    Adder add;
};

const std::vector<Named>& transforms() {
    static const std::vector<Named> all = {
        {"Elliptical", [](el::TransformList& l) { return el::AddEllipticalTransform(l, kW, kH, kW / 2, kH / 2, 0, 0, 0); }},
        {"Lens", [](el::TransformList& l) { return el::AddLensTransform(l, kW, kH, kM / 2, 0, 0); }},
        {"Marble", [](el::TransformList& l) { return el::AddMarbleTransform(l, kW, kH, 3.0, 43, 43); }},
        {"Offset", [](el::TransformList& l) { return el::AddOffsetTransform(l, kW, kH, 400, 300, 0); }},
        {"Pinch", [](el::TransformList& l) { return el::AddPinchTransform(l, kW, kH, kM / 2, 50, 0, 0); }},
        {"Ripple", [](el::TransformList& l) { return el::AddRippleTransform(l, kW, kH, kM / 2, 50, 50, 0, 0, 0); }},
        {"Spin", [](el::TransformList& l) { return el::AddSpinTransform(l, kW, kH, kM / 2, 90, 0, 0); }},
        {"SpinWave", [](el::TransformList& l) { return el::AddSpinWaveTransform(l, kW, kH, kM / 2, 90, 50, 0, 0); }},
        {"Wave", [](el::TransformList& l) { return el::AddWaveTransform(l, kW, kH, 10, 50, 0); }},
        {"Wow", [](el::TransformList& l) { return el::AddWowTransform(l, kW, kH, kM / 2, 0); }},
        {"ZigZag", [](el::TransformList& l) { return el::AddZigZagTransform(l, kW, kH, 10, 50, 0); }},
        {"Random", [](el::TransformList& l) { return el::AddRandomTransform(l, kW, kH, 25); }},
    };
    return all;
}

const std::vector<std::uint8_t>& picture() {
    static const auto p = bench::paintingRgba(kW, kH);
    return p;
}

el::TransformList listOf(int i) {
    el::TransformList list;
    transforms()[std::size_t(i)].add(list);
    return list;
}

// The whole distortion: map and sampling, as the filter runs it.
void BM_Transform(benchmark::State& state) {
    cv::setNumThreads(1);
    const el::TransformList list = listOf(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> out(picture().size());
    for (auto _ : state) {
        el::TransformProcess(list, picture().data(), kW, kH, kW * 4, out.data(), kW * 4, 4, 2, 0);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(transforms()[std::size_t(state.range(0))].name);
}

// Working out the full map alone.
void BM_Map(benchmark::State& state) {
    const el::TransformList list = listOf(static_cast<int>(state.range(0)));
    std::vector<float> xs(std::size_t(kW) * kH), ys(xs.size());
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y)
            el::TransformRow(list, y, xs.data() + std::size_t(y) * kW, ys.data() + std::size_t(y) * kW, kW);
        benchmark::DoNotOptimize(xs.data());
    }
    state.SetLabel(transforms()[std::size_t(state.range(0))].name);
}

// The yardstick: remap through a precomputed map of the same size.
void BM_OpenCV_Remap(benchmark::State& state) {
    cv::setNumThreads(1);
    const el::TransformList list = listOf(static_cast<int>(state.range(0)));
    cv::Mat mx(kH, kW, CV_32FC1), my(kH, kW, CV_32FC1);
    for (int y = 0; y < kH; ++y) el::TransformRow(list, y, mx.ptr<float>(y), my.ptr<float>(y), kW);
    const cv::Mat in(kH, kW, CV_8UC4, const_cast<std::uint8_t*>(picture().data()));
    cv::Mat out(kH, kW, CV_8UC4);
    for (auto _ : state) {
        cv::remap(in, out, mx, my, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        benchmark::DoNotOptimize(out.data);
    }
    state.SetLabel(transforms()[std::size_t(state.range(0))].name);
}

BENCHMARK(BM_Transform)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCV_Remap)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Map)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
