#pragma once
// How far ahead of the pixels being composed the blend's vector loops ask
// for the source and destination rows. Such a loop reads two streams and
// writes one of them back; left to the hardware prefetchers it waits on
// memory for more than half its time. 2 KB (256 pixels) ahead keeps enough
// lines in flight and stays well inside the first-level cache. Shared by
// the SSE2 and AVX2 loops (a constant, no code).
#include <cstddef>

namespace plr {

constexpr std::ptrdiff_t kBlendPrefetchBytes = 2048;

}  // namespace plr
