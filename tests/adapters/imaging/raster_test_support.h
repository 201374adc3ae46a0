#pragma once
// Pictures for the raster tests: seeded random bytes.
#include <cstdint>
#include <random>
#include <vector>

namespace plr::test {

// `bytes` random bytes from `seed`; with `nonZero`, 1..255 only (alpha bytes
// that a 32-bit DIB keeps).
inline std::vector<std::uint8_t> noise(std::size_t bytes, unsigned seed, bool nonZero = false) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(bytes);
    for (auto& b : v) b = static_cast<std::uint8_t>(nonZero ? 1 + rng() % 255 : rng());
    return v;
}

}  // namespace plr::test
