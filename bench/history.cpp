// Save, undo and redo on a 4096 x 4096 page, for a 512 x 512 stroke
// rectangle and for the whole page, beside memcpy of the same rectangle's
// bytes in the same run. Each operation is timed on its own (manual timing, in thread processor time)
// so that the undo a redo needs, or the redo an undo needs, is not counted.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

#include "engine/engine.h"
#include "paloran.h"

namespace {

constexpr std::int32_t kSide = 4096;
constexpr std::int32_t kRect = 512;
constexpr std::int32_t kRectAt = 1000;

// The thread's processor time: the machine is shared, and wall time would
// count the moments another process has the core.
struct Clock {
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

double seconds(double a, double b) { return b - a; }

void makePage() {
    static bool made = false;
    if (made) return;
    made = true;
    PLR_CreateImage(nullptr, kSide, kSide, 16, 0);
    PLR_CreateLayer(2, kSide, kSide);
    PLR_SetLayer(2);
    PLR_SetUndoMB(1 << 20);
    PLR_SetUndoLevels(4);
    // Touch every page of the layer with something that is not all zero.
    std::uint16_t* px = plr::page().layers[2].pixels.data();
    for (std::size_t i = 0; i < plr::page().pixelCount() * 4; i += 512) px[i] = static_cast<std::uint16_t>(i);
}

void markStroke(bool whole) {
    auto& s = plr::page().history.stroke;
    if (whole) {
        s = {kSide - 1, kSide - 1, 0, 0};  // empty: the save records the whole page
    } else {
        s = {kRectAt, kRectAt, kRectAt + kRect - 1, kRectAt + kRect - 1};
    }
}

std::size_t bytesOf(bool whole) { return whole ? std::size_t{kSide} * kSide * 8 : std::size_t{kRect} * kRect * 8; }

// memcpy of the rectangle's (or the page's) bytes, `copies` times between
// distinct buffers: a save moves the rectangle twice (under-layer into the
// snapshot, layer into the under-layer), an undo or redo three times; on the
// whole page each of them moves it once (the snapshot trades blocks with the
// under-layer).
void BM_Memcpy(benchmark::State& state) {
    const bool whole = state.range(0) != 0;
    const std::size_t n = bytesOf(whole);
    const int copies = static_cast<int>(state.range(1));
    std::vector<std::vector<std::uint8_t>> from, to;
    for (int i = 0; i < copies; ++i) {
        from.emplace_back(n, std::uint8_t(i + 1));
        to.emplace_back(n, std::uint8_t(0));
    }
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < copies; ++i) std::memcpy(to[i].data(), from[i].data(), n);
        benchmark::ClobberMemory();
        state.SetIterationTime(seconds(t0, Clock::now()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n * copies));
}

void BM_Save(benchmark::State& state) {
    const bool whole = state.range(0) != 0;
    makePage();
    PLR_ClearUndo();
    // Fill every level first: from then on each save reuses the blocks of
    // the entry it pushes out, as a painting session does after a few strokes.
    for (int i = 0; i < 5; ++i) {
        markStroke(whole);
        PLR_SaveUndoBuffer(1, 0);
    }
    for (auto _ : state) {
        markStroke(whole);
        const auto t0 = Clock::now();
        PLR_SaveUndoBuffer(1, 0);
        state.SetIterationTime(seconds(t0, Clock::now()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesOf(whole)));
}

void BM_Undo(benchmark::State& state) {
    const bool whole = state.range(0) != 0;
    makePage();
    PLR_ClearUndo();
    markStroke(whole);
    PLR_SaveUndoBuffer(1, 0);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        PLR_Undo();
        state.SetIterationTime(seconds(t0, Clock::now()));
        PLR_Redo();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesOf(whole)));
}

void BM_Redo(benchmark::State& state) {
    const bool whole = state.range(0) != 0;
    makePage();
    PLR_ClearUndo();
    markStroke(whole);
    PLR_SaveUndoBuffer(1, 0);
    for (auto _ : state) {
        PLR_Undo();
        const auto t0 = Clock::now();
        PLR_Redo();
        state.SetIterationTime(seconds(t0, Clock::now()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesOf(whole)));
}

// First argument 0: the 512 x 512 rectangle; 1: the whole page.
BENCHMARK(BM_Memcpy)->Args({0, 1})->Args({0, 2})->Args({0, 3})->Args({1, 1})->UseManualTime()->Unit(
    benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Undo)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Redo)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
