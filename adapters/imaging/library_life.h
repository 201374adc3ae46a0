#pragma once
// Start and end of the imaging library. OpenCV, which stands behind many
// raster calls, spreads large calls over a thread pool of its own: it is
// given the engine's thread count (core/parallel_rows.h), so that
// PALORAN_THREADS=1 keeps every call on the calling thread. Its calls give
// the same bytes for any count. Exit gives it back the thread count it had
// before Initialize.
#include <cstdint>

namespace plr::imaging_lib {

std::int32_t Initialize() noexcept;
std::int32_t Exit() noexcept;

// Gives OpenCV the engine's thread count now (after the count changed).
void FollowEngineThreads() noexcept;

}  // namespace plr::imaging_lib
