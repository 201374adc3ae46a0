#pragma once
// Which instruction-set fast paths the page loops may take. Detected once;
// tests switch the fast paths off to hold the baseline loops to the same
// results (pixel loops compare both against the plain reference).
namespace plr {

// True when the processor has AVX2 and fast paths are allowed.
bool useAvx2() noexcept;
// Test switch: false forces the baseline (SSE2) loops. Default true.
void allowFastPaths(bool allowed) noexcept;

}  // namespace plr
