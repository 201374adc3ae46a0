#pragma once
// Scaffolding for the dab and mixing-buffer tests: a small page with a
// current layer, a square brush of chosen coverage, and pixel access.
#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/engine.h"
#include "engine_fixture.h"

namespace plr::test {

using Px = std::array<std::uint32_t, 4>;

class DabTest : public EngineTest {
public:
    // A w x h page, slot `layer` current, brush `size` (identity scale), opacity
    // 100, Normal mode at full strength, every shape value `shape`.
    void makePage(int w, int h, int maxBrush, int size, int layer = 2, std::uint16_t shape = 65535) {
        PLR_CreateImage(nullptr, w, h, maxBrush, 0);
        ASSERT_NE(PLR_CreateLayer(layer, w, h), 0);
        PLR_SetLayer(layer);
        ASSERT_NE(plr::page().currentPageLayer(), nullptr);
        PLR_SetSize(size);
        PLR_SetAlpha(100);
        PLR_SetMixMode(32, 256);
        setShape(shape);
    }
    void setShape(std::uint16_t v) {
        auto& s = plr::page().brush.shapePlane;
        std::fill(s.data(), s.data() + s.size(), v);
    }
    void setShapeAt(int row, int col, std::uint16_t v) {
        plr::page().brush.shapePlane.data()[row * plr::page().maxBrushSize + col] = v;
    }
    // The paint layer as its own code creates it: page-sized, zeroed, empty bounds.
    void makePaintLayer() {
        Page& p = plr::page();
        LayerRecord& l = p.paintLayer;
        ASSERT_TRUE(l.pixels.allocate(p.pixelCount() * 4));
        std::fill(l.pixels.data(), l.pixels.data() + l.pixels.size(), 0);
        l.width = p.width;
        l.height = p.height;
        l.rowValues = p.rowValues;
        l.visible = 1;
        l.bounds = {p.width, p.height, 0, 0};
    }
    std::uint16_t* layerPixel(LayerRecord& l, int x, int y) {
        return l.pixels.data() + (static_cast<std::size_t>(y) * l.width + x) * 4;
    }
    std::uint16_t* current(int x, int y) { return layerPixel(*plr::page().currentLayer, x, y); }
    Px get(const std::uint16_t* p) { return {p[0], p[1], p[2], p[3]}; }
    void fill(LayerRecord& l, Px v) {
        for (std::size_t i = 0; i < l.pixels.size(); i += 4)
            for (int c = 0; c < 4; ++c) l.pixels.data()[i + c] = static_cast<std::uint16_t>(v[c]);
    }
    void fillCurrent(Px v) { fill(*plr::page().currentLayer, v); }
    std::uint16_t* mix(int row, int col) {
        return plr::page().brush.mixingBuffer.data() +
               (static_cast<std::size_t>(row) * plr::page().maxBrushSize + col) * 4;
    }
    void fillMix(Px v) {
        auto& b = plr::page().brush.mixingBuffer;
        for (std::size_t i = 0; i < b.size(); i += 4)
            for (int c = 0; c < 4; ++c) b.data()[i + c] = static_cast<std::uint16_t>(v[c]);
    }
    BrushSettings& tool() { return plr::page().brush.settings; }
};

}  // namespace plr::test
