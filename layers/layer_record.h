#pragma once
// One slot of the layer table (and the paint layer, which uses the same record).
#include <cstdint>

#include "core/block.h"
#include "core/rect.h"

namespace plr {

struct LayerRecord {
    Block<std::uint16_t> pixels;  // width * height * 4 channel values, or none
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowValues = 0;
    std::uint8_t visible = 0;
    std::uint8_t alphaLock = 0;
    std::uint16_t opacity = 0;  // 0..256
    char modeName[50] = {};
    std::int32_t mode = 0;
    Rect bounds;  // the paint layer: what its dabs reached

    bool hasPixels() const noexcept { return !pixels.empty(); }
    // Has pixels and the given size: the only layers page-sized code walks.
    bool hasPixelsOfSize(std::int32_t w, std::int32_t h) const noexcept {
        return hasPixels() && width == w && height == h;
    }
};

}  // namespace plr
