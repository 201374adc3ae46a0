#pragma once
#include <cstdint>

#include "brush/brush_settings.h"
#include "core/block.h"
#include "core/random_table.h"

namespace plr {

constexpr int kGritTextures = 20;
constexpr std::size_t kShapePathLength = 1024;

// Brush-sized scratch planes, allocated once per page and reused by every
// dab, next to the tool settings that shape them.
struct BrushBuffers {
    Block<std::uint8_t> gritTextures[kGritTextures];  // (maxBrushSize + 25)^2 bytes each
    Block<std::uint16_t> shapePlane;                  // maxBrushSize^2 coverage values
    Block<std::uint16_t> mixingBuffer;                // maxBrushSize^2 layer pixels
    // Cache of the last image or script a brush shape was built from (RGBA,
    // already rotated by shapeSourceAngle), keyed on path and angle.
    Block<std::uint8_t> shapeSource;
    std::int32_t shapeSourceWidth = 0;
    std::int32_t shapeSourceHeight = 0;
    char shapeSourcePath[kShapePathLength] = {};
    std::int32_t shapeSourceAngle = 0;

    // The current tool. Not released with the page: it survives resizes.
    BrushSettings settings;
    Color16 dabColor;
    Color16 colorBanks[4];
    RandomByteTable colorVaryTable;  // modulus 1000 (low 8 bits kept), 3 * maxBrushSize
    RandomByteTable lumVaryTable;    // modulus 256, 3 * maxBrushSize

    // Grit texture in use: index into gritTextures plus a starting offset.
    std::int32_t currentGrit = 0;
    std::int32_t currentGritOffset = 0;
    std::int32_t drawingCounter = 0;  // dabs left before another texture is chosen
};

}  // namespace plr
