// Merging a 4096 x 4096 layer in every blend mode, against memcpy of the
// same bytes (the limit) and, when pixman is available, pixman compositing
// the same pixel count with OVER and the PDF separable operators on
// a8r8g8b8 (pixman has no 16-bit-per-channel destination format).
//
//   bench_blend_modes --benchmark_filter=...   (one iteration per case: 4096^2 pixels)
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/threading.h"
#include "layers/blend_bands.h"
#include "layers/blend_modes.h"
#include "layers/blend_request.h"
#include "platform/thread_pool.h"

#ifdef PALORAN_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {

constexpr std::int32_t kSide = 4096;
constexpr std::size_t kPixels = std::size_t{kSide} * kSide;

struct Planes {
    std::vector<std::uint16_t> opaque, half, destination, mask;
    Planes() : opaque(kPixels * 4), half(kPixels * 4), destination(kPixels * 4), mask(kPixels * 4) {
        std::mt19937 rng(1);
        for (std::size_t i = 0; i < kPixels * 4; i += 4) {
            for (int c = 0; c < 3; ++c) {
                opaque[i + c] = half[i + c] = static_cast<std::uint16_t>(rng() % 0xFF01);
                destination[i + c] = static_cast<std::uint16_t>(rng() % 0xFF01);
            }
            const auto grey = static_cast<std::uint16_t>(0x4000 + rng() % 0xBFFF);  // a soft mask, no holes
            mask[i] = mask[i + 1] = mask[i + 2] = grey;
            mask[i + 3] = 0xFFFF;
            opaque[i + 3] = 0xFFFF;
            half[i + 3] = 0x8000;
            destination[i + 3] = 0xFFFF;
        }
    }
};

Planes& planes() {
    static Planes p;
    return p;
}

void setRate(benchmark::State& state) {
    state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(kPixels) * static_cast<double>(state.iterations()) / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void BM_Memcpy(benchmark::State& state) {
    Planes& p = planes();
    for (auto _ : state) {
        std::memcpy(p.destination.data(), p.opaque.data(), kPixels * 8);
        benchmark::ClobberMemory();
    }
    setRate(state);
    // Put the destination back to an opaque random picture for the merges.
    for (std::size_t i = 0; i < kPixels * 4; i += 4) p.destination[i] ^= 0x5A5A, p.destination[i + 3] = 0xFFFF;
}

void BM_Merge(benchmark::State& state) {
    Planes& p = planes();
    const auto mode = static_cast<std::int32_t>(state.range(0));
    const bool opaque = state.range(1) != 0;
    plr::BlendRequest rq;
    rq.source = opaque ? p.opaque.data() : p.half.data();
    rq.width = rq.height = kSide;
    rq.sourceRowValues = rq.destRowValues = kSide * 4;
    rq.destination = p.destination.data();
    rq.mode = mode;
    rq.opacity = 256;
    for (auto _ : state) {
        plr::blend(rq);
        benchmark::ClobberMemory();
    }
    setRate(state);
    state.SetLabel(std::string(mode == plr::kModeUnused ? "(unused)" : plr::kBlendModes[mode].name) +
                   (opaque ? ", opaque" : ", alpha 0x8000"));
}

// Whole-layer merges as the engine runs them, in bands of rows: one thread
// and every thread (range 2: 0 = all), beside BM_Memcpy.
void BM_MergeInBands(benchmark::State& state) {
    Planes& p = planes();
    const auto mode = static_cast<std::int32_t>(state.range(0));
    plr::BlendRequest rq;
    rq.source = state.range(1) != 0 ? p.opaque.data() : p.half.data();
    rq.width = rq.height = kSide;
    rq.sourceRowValues = rq.destRowValues = kSide * 4;
    rq.destination = p.destination.data();
    rq.mode = mode;
    rq.opacity = 256;
    const auto threads = static_cast<std::int32_t>(state.range(2));
    plr::setThreadCount(threads == 0 ? plr::platform::processorCount() : threads);
    for (auto _ : state) {
        plr::blendInBands(rq);
        benchmark::ClobberMemory();
    }
    plr::setThreadCount(plr::platform::processorCount());
    setRate(state);
    state.SetLabel(std::string(plr::kBlendModes[mode].name) + (state.range(1) != 0 ? ", opaque" : ", alpha 0x8000"));
}
BENCHMARK(BM_MergeInBands)
    ->ArgsProduct({{plr::kModeNormal, 1 /* Multiply */, 8 /* Overlay */}, {0, 1}, {1, 0}})
    ->ArgNames({"mode", "opaque", "threads"})
    ->Unit(benchmark::kMillisecond);

// The colour modes under a Layer Mask plane (translucent source).
void BM_MergeUnderMask(benchmark::State& state) {
    Planes& p = planes();
    const auto mode = static_cast<std::int32_t>(state.range(0));
    plr::BlendRequest rq;
    rq.source = p.half.data();
    rq.mask = p.mask.data();
    rq.maskMode = plr::kModeLayerMask;
    rq.width = rq.height = kSide;
    rq.sourceRowValues = rq.destRowValues = kSide * 4;
    rq.destination = p.destination.data();
    rq.mode = mode;
    rq.opacity = static_cast<std::int32_t>(state.range(1));
    for (auto _ : state) {
        plr::blend(rq);
        benchmark::ClobberMemory();
    }
    setRate(state);
    state.SetLabel(std::string(plr::kBlendModes[mode].name) + " under a Layer Mask, opacity " +
                   std::to_string(rq.opacity) + ", alpha 0x8000");
}

#ifdef PALORAN_BENCH_PIXMAN
struct PixmanImages {
    std::vector<std::uint32_t> opaque, half, destination;
    pixman_image_t *src[2] = {}, *dst = nullptr;
    PixmanImages() : opaque(kPixels), half(kPixels), destination(kPixels) {
        std::mt19937 rng(2);
        for (std::size_t i = 0; i < kPixels; ++i) {
            const std::uint32_t rgb = rng() & 0xFFFFFF;
            opaque[i] = 0xFF000000u | rgb;
            half[i] = 0x80000000u | ((rgb >> 1) & 0x7F7F7F);  // premultiplied
            destination[i] = 0xFF000000u | (rng() & 0xFFFFFF);
        }
        src[0] = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, half.data(), kSide * 4);
        src[1] = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, opaque.data(), kSide * 4);
        dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, destination.data(), kSide * 4);
    }
};

PixmanImages& pixmanImages() {
    static PixmanImages p;
    return p;
}

void BM_Pixman(benchmark::State& state) {
    PixmanImages& p = pixmanImages();
    const auto op = static_cast<pixman_op_t>(state.range(0));
    const bool opaque = state.range(1) != 0;
    for (auto _ : state) {
        pixman_image_composite32(op, p.src[opaque ? 1 : 0], nullptr, p.dst, 0, 0, 0, 0, 0, 0, kSide, kSide);
        benchmark::ClobberMemory();
    }
    setRate(state);
    const char* name = op == PIXMAN_OP_OVER          ? "OVER"
                       : op == PIXMAN_OP_MULTIPLY    ? "MULTIPLY"
                       : op == PIXMAN_OP_SCREEN      ? "SCREEN"
                       : op == PIXMAN_OP_OVERLAY     ? "OVERLAY"
                       : op == PIXMAN_OP_SOFT_LIGHT  ? "SOFT_LIGHT"
                                                     : "COLOR_DODGE";
    state.SetLabel(std::string("pixman a8r8g8b8 ") + name + (opaque ? ", opaque" : ", alpha 0x80"));
}
#endif

void mergeArgs(benchmark::internal::Benchmark* b) {
    for (int opaque = 1; opaque >= 0; --opaque)
        for (int mode = 0; mode < plr::kModeCount; ++mode) b->Args({mode, opaque});
}

}  // namespace

BENCHMARK(BM_Memcpy)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge)->Apply(mergeArgs)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeUnderMask)
    ->ArgsProduct({{0, 1, 8}, {256, 128}})  // Normal, Multiply, Overlay
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
#ifdef PALORAN_BENCH_PIXMAN
BENCHMARK(BM_Pixman)
    ->ArgsProduct({{PIXMAN_OP_OVER, PIXMAN_OP_MULTIPLY, PIXMAN_OP_SCREEN, PIXMAN_OP_OVERLAY, PIXMAN_OP_SOFT_LIGHT,
                    PIXMAN_OP_COLOR_DODGE},
                   {1, 0}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
#endif

BENCHMARK_MAIN();
