#pragma once
// What the filter benchmarks share: a page holding one picture with layer 2
// current and both 32-bit processing buffers, and the memcpy anchor of the
// layer's bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "paloran.h"

namespace plr::bench {

struct BenchPage {
    BenchPage(const std::vector<std::uint8_t>& picture, int width, int height) {
        plr::resetEngine();
        PLR_CreateImage(nullptr, width, height, 8, 0);
        PLR_CreateLayer(1, width, height);
        PLR_CreateLayer(2, width, height);
        PLR_SetLayer(2);
        PLR_LoadRGBA32(picture.data(), width * 4, 0);
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
    }
    ~BenchPage() { plr::resetEngine(); }
};

// A memcpy of a width x height layer's 8 bytes a pixel.
inline void memcpyOfLayer(benchmark::State& s, int width, int height) {
    std::vector<std::uint8_t> a(std::size_t(width) * height * 8, 1), b(a.size());
    for (auto _ : s) {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
    }
    s.SetItemsProcessed(s.iterations() * std::int64_t{width} * height);
}

}  // namespace plr::bench
