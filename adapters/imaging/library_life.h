#pragma once
// Start and end of the imaging library. The engine is single-threaded by
// contract, and OpenCV, which stands behind many raster calls, would
// otherwise spread large calls over a thread pool: Initialize keeps it on
// the calling thread, Exit gives it back the thread count it had before.
#include <cstdint>

namespace plr::imaging_lib {

std::int32_t Initialize() noexcept;
std::int32_t Exit() noexcept;

}  // namespace plr::imaging_lib
