#pragma once
// The C run-time's linear congruential generator (srand/rand), reproduced so
// that tables, textures and strokes repeat bit for bit on every platform.
#include <cstdint>

namespace plr {

struct CrtRandom {
    std::uint32_t state = 1;  // rand() without srand() behaves as srand(1)

    void seed(std::uint32_t s) noexcept { state = s; }
    // 0..0x7FFF
    int next() noexcept {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }
};

}  // namespace plr
