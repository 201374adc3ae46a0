// Raster calls and whole-page geometry beside their yardsticks: OpenCV's own
// resize and warpAffine on the same 4000 x 3000 RGBA8 picture (one thread),
// and memcpy of a layer's bytes for the page operations on 4096 x 4096.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "adapters/imaging/raster_geometry.h"
#include "adapters/imaging/raster_resize.h"
#include "bench_images.h"
#include "engine/threading.h"
#include "paloran.h"
#include "platform/thread_pool.h"

namespace {

constexpr int kW = 4000, kH = 3000;

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> p = plr::bench::paintingRgba(kW, kH);
    return p;
}

cv::Mat pictureMat() { return cv::Mat(kH, kW, CV_8UC4, const_cast<std::uint8_t*>(picture().data())); }

template <int Method>
void BM_Resize(benchmark::State& state) {
    const int dw = int(kW * state.range(0) / 100), dh = int(kH * state.range(0) / 100);
    std::vector<std::uint8_t> out(std::size_t(dw) * dh * 4);
    for (auto _ : state) {
        const void* s = picture().data();
        int ok = 0;
        if (Method == 0) ok = plr::imaging_lib::DecimateImage(s, kW, kH, kW * 4, out.data(), dw, dh, dw * 4, 4, 1);
        if (Method == 1) ok = plr::imaging_lib::ResizeImageBicubic(s, kW, kH, kW * 4, out.data(), dw, dh, dw * 4, 4);
        if (Method == 2) ok = plr::imaging_lib::ResizeFilterImage(s, kW, kH, kW * 4, out.data(), dw, dh, dw * 4, 4, 8);
        benchmark::DoNotOptimize(ok);
    }
}

template <int Interpolation>
void BM_OpenCV_Resize(benchmark::State& state) {
    const int dw = int(kW * state.range(0) / 100), dh = int(kH * state.range(0) / 100);
    cv::Mat out(dh, dw, CV_8UC4);
    const cv::Mat in = pictureMat();
    for (auto _ : state) cv::resize(in, out, out.size(), 0, 0, Interpolation);
}

void BM_Rotate17(benchmark::State& state) {
    const double a = 17.0 * std::numbers::pi / 180.0;
    std::int32_t rw = 0, rh = 0;
    plr::imaging_lib::GetRotatedPixelSize(a, kW, kH, &rw, &rh);
    std::vector<std::uint8_t> out(std::size_t(rw) * rh * 4);
    for (auto _ : state)
        benchmark::DoNotOptimize(plr::imaging_lib::RotateImage40(picture().data(), kW, kH, 4, kW * 4, out.data(),
                                                                  rw * 4, 0, 0, a, 1));
}

void BM_OpenCV_WarpAffine17(benchmark::State& state) {
    const double a = 17.0 * std::numbers::pi / 180.0;
    std::int32_t rw = 0, rh = 0;
    plr::imaging_lib::GetRotatedPixelSize(a, kW, kH, &rw, &rh);
    cv::Mat m = cv::getRotationMatrix2D(cv::Point2f(kW / 2.0f, kH / 2.0f), 17.0, 1.0);
    m.at<double>(0, 2) += (rw - kW) / 2.0;
    m.at<double>(1, 2) += (rh - kH) / 2.0;
    cv::Mat out(rh, rw, CV_8UC4);
    const cv::Mat in = pictureMat();
    for (auto _ : state) cv::warpAffine(in, out, m, out.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT);
}

// A 4096 x 4096 page with one layer of painting-like pixels.
void openPage() {
    const int s = plr::bench::kSide;
    static const std::vector<std::uint8_t> rgba = plr::bench::paintingRgba(s, s);
    PLR_CreateImage(nullptr, s, s, 8, 0);
    PLR_CreateLayer(1, s, s);
    PLR_SetLayer(1);
    PLR_LoadRGBA32(rgba.data(), s * 4, 0);
}

void BM_Memcpy_LayerBytes(benchmark::State& state) {
    const std::size_t bytes = std::size_t(plr::bench::kSide) * plr::bench::kSide * 8;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::ClobberMemory();
    }
}

// The raster calls alone on a layer's 8-byte pixels, into a buffer already
// in use: what the page operations cost beyond their fresh layer planes.
template <int Op>
void BM_Raster(benchmark::State& state) {
    const int s = plr::bench::kSide;
    const std::size_t bytes = std::size_t(s) * s * 8;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes);
    const plr::imaging_lib::LibRect inner{1, 1, s - 1, s - 1};
    // One thread: the CPU time counted is the calling thread's alone.
    plr::setThreadCount(1);
    for (auto _ : state) {
        if (Op == 0) plr::imaging_lib::QuickRotateImage(a.data(), s, s, s * 8, b.data(), s * 8, 2, 8);
        if (Op == 1) plr::imaging_lib::CropImage(a.data(), s, s, s * 8, b.data(), (s - 2) * 8, &inner, 8);
        benchmark::ClobberMemory();
    }
    plr::setThreadCount(plr::platform::processorCount());
}

// Range 0 is the thread count (0 = every thread).
template <int Op>
void BM_Page(benchmark::State& state) {
    openPage();
    const auto threads = static_cast<std::int32_t>(state.range(0));
    plr::setThreadCount(threads == 0 ? plr::platform::processorCount() : threads);
    for (auto _ : state) {
        if (Op == 0) PLR_IPLFlipHorizontal();
        if (Op == 1) PLR_IPLFlipVertical();
        if (Op == 2) PLR_IPLRotateLeft();  // a square page keeps its size
        if (Op == 3) {
            PLR_IPLCrop(1, 1, plr::bench::kSide - 1, plr::bench::kSide - 1);
            state.PauseTiming();
            PLR_CreateLayer(1, plr::bench::kSide, plr::bench::kSide);
            state.ResumeTiming();
        }
        if (Op == 4) {
            PLR_IPLResize(plr::bench::kSide / 2, plr::bench::kSide / 2, "Bilinear");
            state.PauseTiming();
            openPage();
            state.ResumeTiming();
        }
    }
    plr::setThreadCount(plr::platform::processorCount());
    PLR_DeleteImage();
}

BENCHMARK_TEMPLATE(BM_Resize, 0)->Name("AreaAverage_Half")->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_OpenCV_Resize, cv::INTER_AREA)->Name("OpenCV_INTER_AREA_Half")->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Resize, 1)->Name("Bicubic_Half")->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_OpenCV_Resize, cv::INTER_CUBIC)->Name("OpenCV_INTER_CUBIC_Half")->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Resize, 2)->Name("Lanczos3_Half")->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_OpenCV_Resize, cv::INTER_LANCZOS4)->Name("OpenCV_INTER_LANCZOS4_Half")->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Resize, 1)->Name("Bicubic_Double")->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_OpenCV_Resize, cv::INTER_CUBIC)->Name("OpenCV_INTER_CUBIC_Double")->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate17)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCV_WarpAffine17)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy_LayerBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Raster, 0)->Name("Raster_RotateLeft")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Raster, 1)->Name("Raster_Crop")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Page, 0)->Name("Page_FlipHorizontal")->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Page, 1)->Name("Page_FlipVertical")->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Page, 2)->Name("Page_RotateLeft")->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Page, 4)->Name("Page_ResizeBilinearHalf")->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Page, 3)->Name("Page_Crop")->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    PLR_IPLInit(0);  // one thread, for the engine and the OpenCV yardsticks alike
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PLR_IPLExit();
    return 0;
}
