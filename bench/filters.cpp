// The filters at 4000 x 3000 RGBA8, one thread. Anchors (same run, same
// picture): the library's Gaussian blur at sigma 10 against OpenCV's
// GaussianBlur, median size 5 against medianBlur, the surface blur (bilateral,
// window 9) against bilateralFilter, unsharp mask against a Gaussian plus
// addWeighted, and the dispatcher's glue (refresh, pre- and post-adjust,
// masked load) against a memcpy of the layer. Then every catalogue name that
// runs in this engine once through PLR_IPLImageProcess.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/filters_smooth.h"
#include "bench_images.h"
#include "bench_page.h"
#include "engine/engine.h"
#include "engine/filter_catalogue.h"
#include "engine/page.h"
#include "engine/threading.h"
#include "imaging/alpha_premultiply.h"
#include "paloran.h"
#include "platform/thread_pool.h"

namespace {

constexpr int kW = 4000, kH = 3000;

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> p = plr::bench::paintingRgba(kW, kH);
    return p;
}

std::vector<std::uint8_t> rgbOf(const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> rgb(rgba.size() / 4 * 3);
    for (std::size_t i = 0, n = rgba.size() / 4; i < n; ++i) std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);
    return rgb;
}

cv::Mat matOf(std::vector<std::uint8_t>& v, int channels) { return cv::Mat(kH, kW, CV_8UC(channels), v.data()); }

void pixels(benchmark::State& s) { s.SetItemsProcessed(s.iterations() * std::int64_t{kW} * kH); }

// Anchors --------------------------------------------------------------------

void GaussianSigma10(benchmark::State& s) {
    std::vector<std::uint8_t> in = picture(), out(in.size());
    for (auto _ : s) plr::imaging_lib::GaussianBlurImage(in.data(), out.data(), kW, kH, 4, kW * 4, 30.0, 15);
    pixels(s);
}
void OpenCvGaussianSigma10(benchmark::State& s) {
    std::vector<std::uint8_t> in = picture(), out(in.size());
    cv::Mat dst = matOf(out, 4);
    for (auto _ : s) cv::GaussianBlur(matOf(in, 4), dst, cv::Size(0, 0), 10.0, 10.0, cv::BORDER_REPLICATE);
    pixels(s);
}

void Median5(benchmark::State& s) {
    std::vector<std::uint8_t> in = picture(), out(in.size());
    for (auto _ : s) plr::imaging_lib::MedianCutImage(in.data(), kW, kH, 4, kW * 4, out.data(), kW * 4, 5, 15);
    pixels(s);
}
void OpenCvMedian5(benchmark::State& s) {
    std::vector<std::uint8_t> in = picture(), out(in.size());
    cv::Mat dst = matOf(out, 4);
    for (auto _ : s) cv::medianBlur(matOf(in, 4), dst, 5);
    pixels(s);
}

void SurfaceBlurWindow9(benchmark::State& s) {
    std::vector<std::uint8_t> in = rgbOf(picture()), out(in.size());
    for (auto _ : s)
        plr::imaging_lib::BilateralFilterImage(in.data(), kW, kH, 3, kW * 3, out.data(), kW * 3, 4, 0, 12.5, 135);
    pixels(s);
}
void OpenCvBilateralWindow9(benchmark::State& s) {
    std::vector<std::uint8_t> in = rgbOf(picture()), out(in.size());
    cv::Mat dst = matOf(out, 3);
    for (auto _ : s) cv::bilateralFilter(matOf(in, 3), dst, 9, 50.0, 5.4, cv::BORDER_REPLICATE);
    pixels(s);
}

void UnsharpMask(benchmark::State& s) {
    std::vector<std::uint8_t> in = rgbOf(picture()), out(in.size());
    for (auto _ : s)
        plr::imaging_lib::UnsharpMaskImage(in.data(), kW, kH, 3, kW * 3, out.data(), kW * 3, 0, 1.0, 2.2, 7);
    pixels(s);
}
void OpenCvGaussianAddWeighted(benchmark::State& s) {
    std::vector<std::uint8_t> in = rgbOf(picture()), out(in.size());
    cv::Mat dst = matOf(out, 3), blurred;
    for (auto _ : s) {
        cv::GaussianBlur(matOf(in, 3), blurred, cv::Size(0, 0), 2.2, 2.2, cv::BORDER_REPLICATE);
        cv::addWeighted(matOf(in, 3), 2.0, blurred, -1.0, 0.0, dst);
    }
    pixels(s);
}

struct BenchPage : plr::bench::BenchPage {
    BenchPage() : plr::bench::BenchPage(picture(), kW, kH) {}
};

// Refresh, pre-adjust, post-adjust and the load back, on the page as it is.
void runGlue(benchmark::State& s) {
    std::uint8_t* src = plr::page().processing.src32.data();
    std::uint8_t* dst = plr::page().processing.dst32.data();
    std::memcpy(dst, picture().data(), picture().size());
    for (auto _ : s) {
        PLR_IPLUpdateSrcBuffer32();
        PLR_AdjustRGBA32PreFilter(src, kW, kH);
        PLR_AdjustRGBA32PostFilter(dst, kW, kH);
        PLR_LoadRGBA32(dst, kW * 4, 1);
    }
    pixels(s);
}

void DispatcherGlue(benchmark::State& s) {
    BenchPage page;
    runGlue(s);
}
void MemcpyOfTheLayer(benchmark::State& s) { plr::bench::memcpyOfLayer(s, kW, kH); }

// The same glue with the mask enabled over all its values: the load back is
// the covered load.
void DispatcherGlueUnderMask(benchmark::State& s) {
    BenchPage page;
    plr::Page& p = plr::page();
    p.mask.enabled = 1;
    for (std::size_t i = 0; i < p.pixelCount(); ++i) p.mask.plane[i] = static_cast<std::uint16_t>(i * 40503u);
    runGlue(s);
}

// Pre- and post-adjust of a picture with random alphas (every pixel worked),
// then the same one pixel at a time through the tables.
void AdjustRandomAlphas(benchmark::State& s, bool grouped) {
    const std::vector<std::uint8_t> in = plr::bench::randomRgba(kW, kH);
    std::vector<std::uint8_t> b = in;
    for (auto _ : s) {
        if (grouped) {
            plr::premultiplyRGBA32(b.data(), b.size() / 4);
            plr::unpremultiplyRGBA32(b.data(), b.size() / 4);
        } else {
            plr::reference::premultiplyRGBA32(b.data(), b.size() / 4);
            plr::reference::unpremultiplyRGBA32(b.data(), b.size() / 4);
        }
        benchmark::DoNotOptimize(b.data());
    }
    pixels(s);
}
void PreAndPostAdjustRandomAlphas(benchmark::State& s) { AdjustRandomAlphas(s, true); }
void PreAndPostAdjustRandomAlphasPixelByPixel(benchmark::State& s) { AdjustRandomAlphas(s, false); }

BENCHMARK(GaussianSigma10)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCvGaussianSigma10)->Unit(benchmark::kMillisecond);
BENCHMARK(Median5)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCvMedian5)->Unit(benchmark::kMillisecond);
BENCHMARK(SurfaceBlurWindow9)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCvBilateralWindow9)->Unit(benchmark::kMillisecond);
BENCHMARK(UnsharpMask)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCvGaussianAddWeighted)->Unit(benchmark::kMillisecond);
BENCHMARK(DispatcherGlue)->Unit(benchmark::kMillisecond);
BENCHMARK(MemcpyOfTheLayer)->Unit(benchmark::kMillisecond);
BENCHMARK(DispatcherGlueUnderMask)->Unit(benchmark::kMillisecond);
BENCHMARK(PreAndPostAdjustRandomAlphas)->Unit(benchmark::kMillisecond);
BENCHMARK(PreAndPostAdjustRandomAlphasPixelByPixel)->Unit(benchmark::kMillisecond);

// Every name that runs, once, through the export; mid-range settings.
void Named(benchmark::State& s, std::string name) {
    BenchPage page;
    for (auto _ : s)
        PLR_IPLImageProcess(0, name.c_str(), 1234, 350, 650, 400, 600, 450, 550, 0, 0, 1, 0, 0, 0, 0, 0, 200, 120, 40,
                            "");
    pixels(s);
}

// A few filters through the export on one thread and on every thread,
// beside MemcpyOfTheLayer.
void NamedAtThreads(benchmark::State& s, std::string name, std::int32_t threads) {
    BenchPage page;
    plr::setThreadCount(threads == 0 ? plr::platform::processorCount() : threads);
    for (auto _ : s)
        PLR_IPLImageProcess(0, name.c_str(), 1234, 350, 650, 400, 600, 450, 550, 0, 0, 1, 0, 0, 0, 0, 0, 200, 120, 40,
                            "");
    pixels(s);
}

const bool registeredThreads = [] {
    for (const char* name : {"Brightness and Contrast", "Negative", "Gaussian Blur", "Emboss"})
        for (const std::int32_t threads : {1, 0})
            benchmark::RegisterBenchmark(("Threads/" + std::string(name) + (threads == 1 ? "/one" : "/all")).c_str(),
                                         NamedAtThreads, std::string(name), threads)
                ->Unit(benchmark::kMillisecond);
    return true;
}();

// The generators and the script-driven filters need settings and scripts of
// their own: bench_generate measures them.
bool measuredElsewhere(std::string_view name) {
    for (std::string_view group : {"Backgrounds ", "Texturize ", "Displacement Bump ", "Pattern Explorer"})
        if (name.starts_with(group)) return true;
    for (std::string_view g : {"Lines", "Points", "Circles", "Rectangles", "Splines", "Worms", "Fibers", "Trees",
                               "Generate Noise", "Blobs", "Plasma", "Sine Plasma", "Fractal Plasma",
                               "Generate Perlin Noise", "Pattern"})
        if (name == g) return true;
    return false;
}

const bool registered = [] {
    for (const plr::CatalogueEntry& e : plr::filterCatalogue())
        if (e.shape != plr::Pipeline::None && !measuredElsewhere(e.name))
            benchmark::RegisterBenchmark(("Filter/" + std::string(e.name)).c_str(), Named, std::string(e.name))
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
