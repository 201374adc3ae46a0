#pragma once
// What the processor offers and what the environment permits; the engine
// turns the answers into its table of kernels once (engine/cpu_kernels.h).
namespace plr {

// True when the processor has AVX2 and FMA (every AVX2 processor made has
// both; the AVX2 forms use the fused multiply-add where they say so).
bool processorHasAvx2() noexcept;
// False when PALORAN_NO_AVX2 is set to anything but "0".
bool avx2AllowedByEnvironment() noexcept;

}  // namespace plr
