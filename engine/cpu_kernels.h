#pragma once
// The fast paths this processor takes, chosen once into one table of kernel
// functions: when the engine state is built (at load, and again at every
// resetEngine()), from the processor's features and PALORAN_NO_AVX2. Every
// page loop with an AVX2 form calls through the table instead of asking
// about the processor itself.
#include <cstddef>
#include <cstdint>

#include "brush/dab_normal_row.h"
#include "brush/dab_rotated_row.h"
#include "brush/dab_smudge_row.h"
#include "layers/blend_alpha.h"
#include "layers/blend_eight.h"
#include "layers/render_chunk.h"

namespace plr {

struct CpuKernels {
    bool avx2 = false;  // the AVX2 forms are in the table
    // Render: the chunk kernel of composition formula 0..19.
    draw::ChunkFn (*chunkKernel)(std::int32_t formula) noexcept = nullptr;
    // Blend: the eight-pixel function of formula 0..18, or null (no wide path).
    EightFn (*eightPixelPath)(std::int32_t formula) noexcept = nullptr;
    // Blend, alpha modes: the eight-pixel row kernel of formula 0, 1 or 18, or null.
    AlphaRowFn (*alphaRowPath)(std::int32_t formula) noexcept = nullptr;
    // Covered layer load: pixels blended from the start of the run (a
    // multiple of four, possibly 0); the caller's baseline loop does the rest.
    std::size_t (*blendCovered)(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n,
                                bool alphaLocked) noexcept = nullptr;
    // Dab: one row of the plain Normal brush.
    void (*normalRow)(const dab::NormalRow& n, std::uint16_t* px, const std::uint32_t* cov,
                      std::int32_t count) noexcept = nullptr;
    // Dab: one row of smudge with the mixing buffer pixels beside the target's.
    void (*smudgeRow)(const dab::SmudgeRow& k, std::uint16_t* px, std::uint16_t* mix, const std::uint32_t* cov,
                      std::int32_t count) noexcept = nullptr;
    // Dab: the shape cells and shape values of one row of a turned dab.
    dab::RotatedRowFn rotatedRow = nullptr;
};

// The table for a processor with (true) or without AVX2.
CpuKernels cpuKernelsFor(bool avx2) noexcept;
// The choice made at load: AVX2 when the processor has it and PALORAN_NO_AVX2
// does not forbid it (PALORAN_NO_AVX2=1 forces the baseline in any binary,
// for bug reports and for comparing results across machines).
CpuKernels cpuKernelsAtLoad() noexcept;

// The engine's table.
const CpuKernels& cpuKernels() noexcept;

// Test seams. false rebuilds the table with the baseline (SSE2) loops, true
// with the AVX2 forms where the processor has them; resetEngine() goes back
// to the choice made at load.
void allowFastPaths(bool allowed) noexcept;
// Switches only the blend's eight-pixel paths (colour and alpha modes) off
// (and on again): lets tests run the four-pixel SSE2 paths on AVX2 machines.
void setWideBlendEnabled(bool on) noexcept;

}  // namespace plr
