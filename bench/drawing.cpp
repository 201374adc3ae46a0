// Gradient fills of a 4000 x 3000 RGBA8 picture beside memcpy of the same
// 48 MB (the anchor, in the same run), and a 40-character line of 64-pixel
// text once its font is loaded.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "adapters/imaging/drawing_gradient.h"
#include "adapters/imaging/drawing_text.h"

namespace {

constexpr std::int32_t kW = 4000, kH = 3000;
constexpr std::size_t kBytes = std::size_t{kW} * kH * 4;

std::vector<std::uint8_t>& picture() {
    static std::vector<std::uint8_t> p(kBytes, 7);
    return p;
}
std::vector<std::uint8_t>& copy() {
    static std::vector<std::uint8_t> c(kBytes, 0);
    return c;
}

const std::uint32_t kStops[4] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00808080u};
const double kPositions[4] = {0, 33, 66, 99};

void BM_Memcpy_PageRGBA8(benchmark::State& state) {
    for (auto _ : state) {
        std::memcpy(copy().data(), picture().data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_Memcpy_PageRGBA8)->Unit(benchmark::kMillisecond);

void BM_GradientLinear4Stops(benchmark::State& state) {
    for (auto _ : state) {
        plr::imaging_lib::GradientFillImageLinear(picture().data(), kW, kH, 4, kW * 4, 100, 200, 3800, 2900, kStops,
                                                  kPositions, 4, 1, 1.0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_GradientLinear4Stops)->Unit(benchmark::kMillisecond);

void BM_GradientRadial4Stops(benchmark::State& state) {
    for (auto _ : state) {
        plr::imaging_lib::GradientFillImageRadial(picture().data(), kW, kH, 4, kW * 4, 1800, 2000, 1500, kStops,
                                                  kPositions, 4, 0, 1.0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_GradientRadial4Stops)->Unit(benchmark::kMillisecond);

void BM_TextLine40Chars64px(benchmark::State& state) {
    constexpr std::int32_t w = 1600, h = 120;
    std::vector<std::uint8_t> raster(std::size_t{w} * h * 4, 0);
    plr::imaging_lib::TextState text;
    plr::platform::LogFontA font;
    std::strcpy(font.faceName, "DejaVu Sans");
    font.height = -64;
    const char* line = "The quick brown fox jumps over a lazy do";  // 40 characters
    const plr::imaging_lib::TextRect rect{10, 10, w, h};
    // Loads the font and fills the glyph cache.
    if (!plr::imaging_lib::DrawSmoothTextOnRGBA2(text, raster.data(), w, h, w * 4, line, &font, 4, rect, 0, 0,
                                                  0xFF204080u))
        state.SkipWithError("no font");
    for (auto _ : state) {
        plr::imaging_lib::DrawSmoothTextOnRGBA2(text, raster.data(), w, h, w * 4, line, &font, 4, rect, 0, 0,
                                                0xFF204080u);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextLine40Chars64px)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
