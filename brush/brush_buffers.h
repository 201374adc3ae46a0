#pragma once
#include <cstdint>

#include "core/block.h"

namespace plr {

constexpr int kGritTextures = 20;

// Brush-sized scratch planes, allocated once per page and reused by every dab.
struct BrushBuffers {
    Block<std::uint8_t> gritTextures[kGritTextures];  // (maxBrushSize + 25)^2 bytes each
    Block<std::uint16_t> shapePlane;                  // maxBrushSize^2 coverage values
    Block<std::uint16_t> mixingBuffer;                // maxBrushSize^2 layer pixels
    // Cache of the last image or script a brush shape was built from.
    Block<std::uint8_t> shapeSource;
    std::int32_t shapeSourceWidth = 0;
    std::int32_t shapeSourceHeight = 0;
};

}  // namespace plr
