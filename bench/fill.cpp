// Paint bucket and marker search on 4096 x 4096 pictures. Items are pixels
// of the picture, so items_per_second compares across the rows.
//   FloodFill*      one seed, a maze of one-pixel black walls in 6-pixel
//                   cells whose corridors (noisy light grey, ~83 % of the
//                   page) are one connected region; against OpenCV's
//                   floodFill, four-connected, on the same picture as RGB.
//   FindFreeColour  a photo-like picture, against one plain pass over it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <utility>
#include <vector>

#include "adapters/imaging/drawing_fill.h"
#include "bench_images.h"
#include "mask/free_colour.h"

namespace {

constexpr int kSide = plr::bench::kSide;
constexpr int kCell = 6;
constexpr int kNoise = 5;  // per channel; squared distance at most 3 * 25
constexpr std::int32_t kSquaredTolerance = 3 * kNoise * kNoise;
constexpr std::size_t kPixels = static_cast<std::size_t>(kSide) * kSide;

// Cells of kCell - 1 corridor pixels joined by a random spanning tree (an
// iterative depth-first walk), walls black.
std::vector<std::uint8_t> mazeRgba() {
    const int cells = kSide / kCell;
    std::vector<std::uint8_t> open(static_cast<std::size_t>(kSide) * kSide, 0);
    auto carve = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) open[static_cast<std::size_t>(y) * kSide + x] = 1;
    };
    std::mt19937 rng(4242);
    std::vector<std::uint8_t> seen(static_cast<std::size_t>(cells) * cells, 0);
    std::vector<std::pair<int, int>> stack{{0, 0}};
    seen[0] = 1;
    const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
    while (!stack.empty()) {
        const auto [cx, cy] = stack.back();
        carve(cx * kCell + 1, cy * kCell + 1, cx * kCell + kCell - 1, cy * kCell + kCell - 1);
        int options[4], n = 0;
        for (int d = 0; d < 4; ++d) {
            const int nx = cx + dx[d], ny = cy + dy[d];
            if (nx >= 0 && ny >= 0 && nx < cells && ny < cells && !seen[static_cast<std::size_t>(ny) * cells + nx])
                options[n++] = d;
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        const int d = options[rng() % n];
        const int nx = cx + dx[d], ny = cy + dy[d];
        seen[static_cast<std::size_t>(ny) * cells + nx] = 1;
        // Open the wall between the two cells.
        carve(std::min(cx, nx) * kCell + 1, std::min(cy, ny) * kCell + 1, std::max(cx, nx) * kCell + kCell - 1,
              std::max(cy, ny) * kCell + kCell - 1);
        stack.push_back({nx, ny});
    }
    std::vector<std::uint8_t> rgba(kPixels * 4, 0);
    for (std::size_t i = 0; i < kPixels; ++i) {
        if (!open[i]) {
            rgba[4 * i + 3] = 255;
            continue;
        }
        for (int k = 0; k < 3; ++k) rgba[4 * i + k] = static_cast<std::uint8_t>(200 + static_cast<int>(rng() % (2 * kNoise + 1)) - kNoise);
        rgba[4 * i + 3] = 255;
    }
    // The seed's own colour is the reference: give it the corridor's centre colour.
    std::memset(&rgba[4 * (static_cast<std::size_t>(1) * kSide + 1)], 200, 3);
    return rgba;
}

std::vector<std::uint8_t> toRgb(const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> rgb(kPixels * 3);
    for (std::size_t i = 0; i < kPixels; ++i) std::memcpy(&rgb[3 * i], &rgba[4 * i], 3);
    return rgb;
}

template <class Fill>
void runFill(benchmark::State& state, std::vector<std::uint8_t> picture, Fill&& fill) {
    std::vector<std::uint8_t> work = picture;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), picture.data(), picture.size());
        state.ResumeTiming();
        fill(work.data());
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPixels));
}

void FloodFillRgba(benchmark::State& state) {
    runFill(state, mazeRgba(), [](std::uint8_t* p) {
        if (!plr::imaging_lib::FloodFillImage(p, kSide, kSide, 4, kSide * 4, 1, 1, 0x001E140A, kSquaredTolerance))
            std::abort();
    });
}

void FloodFillRgb(benchmark::State& state) {
    runFill(state, toRgb(mazeRgba()), [](std::uint8_t* p) {
        if (!plr::imaging_lib::FloodFillImage(p, kSide, kSide, 3, kSide * 3, 1, 1, 0x001E140A, kSquaredTolerance))
            std::abort();
    });
}

void OpenCvFloodFillRgb(benchmark::State& state) {
    cv::setNumThreads(1);
    runFill(state, toRgb(mazeRgba()), [](std::uint8_t* p) {
        cv::Mat image(kSide, kSide, CV_8UC3, p, kSide * 3);
        cv::floodFill(image, cv::Point(1, 1), cv::Scalar(10, 20, 30), nullptr, cv::Scalar::all(kNoise),
                      cv::Scalar::all(kNoise), 4 | cv::FLOODFILL_FIXED_RANGE);
    });
}

// Smooth light fields with grain, as a photograph has: no flat pure reds.
std::vector<std::uint8_t> photoRgba() {
    std::mt19937 rng(31);
    std::vector<std::uint8_t> rgba(kPixels * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            std::uint8_t* p = &rgba[4 * (static_cast<std::size_t>(y) * kSide + x)];
            const double u = x / 512.0, v = y / 700.0;
            const double base[3] = {128 + 90 * std::sin(u + 0.3 * v), 120 + 80 * std::cos(0.7 * u - v),
                                    110 + 70 * std::sin(1.3 * v + 0.2)};
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<std::uint8_t>(std::clamp(base[k] + static_cast<int>(rng() % 9) - 4.0, 0.0, 255.0));
            p[3] = 255;
        }
    return rgba;
}

void FindFreeColour(benchmark::State& state) {
    const std::vector<std::uint8_t> picture = photoRgba();
    for (auto _ : state) benchmark::DoNotOptimize(plr::findFreeColour(picture.data(), kPixels));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPixels));
}

// The yardstick: every pixel read once and folded into a sum.
void OnePassOverPixels(benchmark::State& state) {
    const std::vector<std::uint8_t> picture = photoRgba();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < kPixels; ++i) {
            std::uint32_t v;
            std::memcpy(&v, &picture[4 * i], 4);
            sum += v & 0xFFFFFF;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPixels));
}

BENCHMARK(FloodFillRgba)->Unit(benchmark::kMillisecond);
BENCHMARK(FloodFillRgb)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCvFloodFillRgb)->Unit(benchmark::kMillisecond);
BENCHMARK(FindFreeColour)->Unit(benchmark::kMillisecond);
BENCHMARK(OnePassOverPixels)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
