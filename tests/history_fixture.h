#pragma once
// Scaffolding for history tests: a page with two layers, "painting" that
// writes pixels straight into a layer (or the mask) and widens the stroke
// rectangle the way a dab does, and copies of every plane to compare.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/engine.h"
#include "engine_fixture.h"
#include "history/history.h"

namespace plr::test {

using Plane = std::vector<std::uint16_t>;

class HistoryTest : public EngineTest {
protected:
    // Page w x h, layers 2 and 3 filled with random pixels, layer 2 current,
    // `levels` undo levels and a fixed budget of `mb` MB.
    void makePage(std::int32_t w, std::int32_t h, std::int32_t levels = 10, std::int32_t mb = 64) {
        PLR_CreateImage(nullptr, w, h, 8, 0);
        ASSERT_EQ(PLR_CreateLayer(2, w, h), 1);
        ASSERT_EQ(PLR_CreateLayer(3, w, h), 1);
        fillRandom(page().layers[2].pixels.data(), page().pixelCount() * 4, 1);
        fillRandom(page().layers[3].pixels.data(), page().pixelCount() * 4, 2);
        PLR_SetLayer(2);
        PLR_SetUndoMB(mb);
        PLR_SetUndoLevels(levels);
    }

    static void fillRandom(std::uint16_t* p, std::size_t n, std::uint32_t seed) {
        std::mt19937 rng(seed);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t v = rng();
            // Mostly random, with the extremes well represented.
            p[i] = (v & 7) == 0   ? 0
                   : (v & 7) == 1 ? 0xFFFF
                   : (v & 7) == 2 ? 0xFF00
                                  : static_cast<std::uint16_t>(v >> 16);
        }
    }

    static void widenStroke(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        Rect& s = page().history.stroke;
        s.left = std::min(s.left, l);
        s.top = std::min(s.top, t);
        s.right = std::max(s.right, r);
        s.bottom = std::max(s.bottom, b);
    }

    // Random pixels into rectangle (l, t)-(r, b) inclusive of the current layer.
    static void paint(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::uint32_t seed) {
        std::mt19937 rng(seed);
        Page& p = page();
        for (std::int32_t y = t; y <= b; ++y)
            for (std::int32_t x = l; x <= r; ++x)
                for (int c = 0; c < 4; ++c)
                    p.currentLayer->pixels[(static_cast<std::size_t>(y) * p.width + x) * 4 + c] =
                        static_cast<std::uint16_t>(rng());
        widenStroke(l, t, r, b);
    }
    static void paintMask(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::uint32_t seed) {
        std::mt19937 rng(seed);
        Page& p = page();
        for (std::int32_t y = t; y <= b; ++y)
            for (std::int32_t x = l; x <= r; ++x)
                p.mask.plane[static_cast<std::size_t>(y) * p.width + x] = static_cast<std::uint16_t>(rng());
        widenStroke(l, t, r, b);
    }

    static Plane layerCopy(std::int32_t slot) {
        const auto& px = page().layers[slot].pixels;
        return Plane(px.data(), px.data() + px.size());
    }
    static Plane maskCopy() {
        return Plane(page().mask.plane.data(), page().mask.plane.data() + page().mask.plane.size());
    }
    static Plane underCopy() {
        const auto& u = page().history.underPixels;
        return Plane(u.data(), u.data() + u.size());
    }
    static Plane underMaskCopy() {
        const auto& u = page().history.underMask;
        return Plane(u.data(), u.data() + u.size());
    }

    // Between recorded changes the under-layer equals the current layer and the mask.
    static void expectUnderAgrees() {
        EXPECT_TRUE(underCopy() == layerCopy(page().currentLayerIndex)) << "under-layer differs from the layer";
        EXPECT_TRUE(underMaskCopy() == maskCopy()) << "under-layer mask differs from the mask";
    }

    // The memory figure is the under-layer plus what every entry holds.
    static std::int32_t expectedMemoryKB() {
        const Page& p = page();
        std::int64_t kb = std::int64_t{p.width} * p.height * 10 / 1024;
        for (const HistoryEntry& e : p.history.entries) {
            const std::int64_t a = static_cast<std::int64_t>(e.rect.pixels());
            if (e.pixels) kb += a * 8 / 1024;
            if (e.maskValues) kb += a * 2 / 1024;
        }
        return static_cast<std::int32_t>(kb);
    }
};

}  // namespace plr::test
