#pragma once
// Test pictures for the benchmarks: uniformly random RGBA32 pixels (every
// colour different, the worst case for colour memos) and a painting-like
// picture (gradients, flat areas, slight noise).
#include <cstdint>
#include <random>
#include <vector>

namespace plr::bench {

constexpr int kSide = 4096;

inline std::vector<std::uint8_t> randomRgba(int w, int h) {
    std::mt19937 rng(12345);
    std::vector<std::uint8_t> b(4 * static_cast<std::size_t>(w) * h);
    for (auto& v : b) v = static_cast<std::uint8_t>(rng());
    return b;
}

inline std::vector<std::uint8_t> paintingRgba(int w, int h) {
    std::mt19937 rng(777);
    std::vector<std::uint8_t> b(4 * static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &b[4 * (static_cast<std::size_t>(y) * w + x)];
            if (((x >> 7) + (y >> 7)) % 3 == 0) {
                p[0] = 180, p[1] = 120, p[2] = 60;
            } else {
                p[0] = static_cast<std::uint8_t>(x * 255 / (w - 1));
                p[1] = static_cast<std::uint8_t>(y * 255 / (h - 1));
                p[2] = static_cast<std::uint8_t>(((x + y) >> 5) + rng() % 2);
            }
            p[3] = 255;
        }
    return b;
}

}  // namespace plr::bench
