#pragma once
// Helpers for the pixel data tests: a page with layers, biased random data,
// and direct access to layer pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine/engine.h"
#include "history/layer_table.h"
#include "paloran.h"

namespace plr::test {

// A page of w x h with the given slots created (cleared to 0, slot 1 white).
inline void makePage(std::int32_t w, std::int32_t h, std::initializer_list<std::int32_t> slots = {2}) {
    PLR_CreateImage(nullptr, w, h, 4, 0);
    for (std::int32_t s : slots) createLayer(page(), s, w, h);
}

inline std::uint16_t* px(std::int32_t slot, std::int32_t x, std::int32_t y) {
    Page& p = page();
    return p.layers[slot].pixels.data() + (static_cast<std::size_t>(y) * p.width + x) * 4;
}

inline void setPx(std::int32_t slot, std::int32_t x, std::int32_t y, std::uint16_t r, std::uint16_t g, std::uint16_t b,
                  std::uint16_t a) {
    std::uint16_t* d = px(slot, x, y);
    d[0] = r;
    d[1] = g;
    d[2] = b;
    d[3] = a;
}

// Makes slot `index` current without going through the history.
inline void makeCurrent(std::int32_t index) {
    page().currentLayer = &page().layers[index];
    page().currentLayerIndex = index;
}

inline void makeTexture(std::uint8_t value) {
    Page& p = page();
    ASSERT_TRUE(p.texture.allocate(p.pixelCount()));
    std::memset(p.texture.data(), value, p.pixelCount());
}

// Random data biased toward the edge values of the pixel arithmetic (0, 1,
// the thresholds, 0xFF00, 0xFFFF).
struct Biased {
    std::mt19937 rng;
    explicit Biased(std::uint32_t seed) : rng(seed) {}

    std::uint32_t below(std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(rng); }
    std::int32_t range(std::int32_t lo, std::int32_t hi) {
        return std::uniform_int_distribution<std::int32_t>(lo, hi)(rng);
    }
    std::uint8_t byte() {
        static constexpr std::uint8_t edges[] = {0, 1, 127, 128, 254, 255};
        return below(3) == 0 ? edges[below(6)] : static_cast<std::uint8_t>(below(256));
    }
    std::uint16_t value16() {
        static constexpr std::uint16_t edges[] = {0, 1, 0xFF, 0x100, 0x7FFF, 0xFEFF, 0xFF00, 0xFFFE, 0xFFFF};
        return below(3) == 0 ? edges[below(9)] : static_cast<std::uint16_t>(below(65536));
    }
    std::uint16_t alpha16() {
        static constexpr std::uint16_t edges[] = {0, 0xFF00, 0xFFFF};
        return below(2) == 0 ? edges[below(3)] : value16();
    }
    std::uint8_t alpha8() { return below(3) == 0 ? 0 : below(3) == 0 ? 255 : byte(); }
    std::vector<std::uint8_t> bytes(std::size_t n) {
        std::vector<std::uint8_t> v(n);
        for (auto& b : v) b = byte();
        return v;
    }
};

}  // namespace plr::test
