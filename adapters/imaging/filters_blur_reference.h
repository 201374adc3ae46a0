#pragma once
// Plain loops of the blur family, for tests only (paloran_reference).
#include <cstdint>

namespace plr::imaging_lib::reference {

// Three box blurs of width 2 half + 1, across then down, edges clamped,
// rounded to nearest: what GaussianBlurImage does beyond its direct reach
// (half = round((sqrt(1 + 4 sigma^2) - 1) / 2), sigma = radius / 3).
void threeBoxBlur(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int32_t height,
                  std::int32_t bytesPerPixel, std::int32_t stride, int half);

}  // namespace plr::imaging_lib::reference
