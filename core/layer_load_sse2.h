#pragma once
// SSE2 form of the covered core load's pixel blend (layers/layer_load.cpp),
// the baseline of every x86-64 processor; the same rules as the AVX2 form
// (core/layer_load_avx2.h), two pixels per vector instead of four.
#include <cstddef>
#include <cstdint>

namespace plr::sse2 {

// Blends whole groups of four pixels of `s` (RGBA32) into `d` (RGBA64) under
// the per-pixel coverage `cov` and returns how many pixels it did (n rounded
// down to a multiple of four; 0 where SSE2 is missing); the caller finishes
// the rest with the plain loop.
std::size_t blendCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n,
                         bool alphaLocked) noexcept;

}  // namespace plr::sse2
