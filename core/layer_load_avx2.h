#pragma once
// AVX2 form of the covered core load's pixel blend (layers/layer_load.cpp).
// Call only on processors with AVX2 (through the engine's kernel table).
#include <cstddef>
#include <cstdint>

namespace plr::avx2 {

// Blends whole groups of four pixels of `s` (RGBA32) into `d` (RGBA64) under
// the per-pixel coverage `cov`, by the rules of the covered core load, and
// returns how many pixels it did (n rounded down to a multiple of four); the
// caller finishes the rest with the baseline loop.
std::size_t blendCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n,
                         bool alphaLocked) noexcept;

}  // namespace plr::avx2
