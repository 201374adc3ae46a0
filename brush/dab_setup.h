#pragma once
// Dab set-up shared by every dab loop: target choice, the per-dab random
// draws in their fixed order, clipping through the scale table, and the
// stroke rectangle and paint-layer bounds.
#include <cstdint>

#include "brush/brush_settings.h"
#include "core/rect.h"

namespace plr {

struct PageBrush;

struct DabFrame {
    // Target plane (the paint layer, the current layer or the mask plane).
    std::uint16_t* target = nullptr;
    std::int32_t rowValues = 0;  // of a layer target; the mask uses the page width
    bool toPaintLayer = false;

    Rect area;  // the dab's square clipped to the page
    std::int32_t k0 = 0;  // shape column offset of a dab clipped at the left edge
    std::int32_t j0 = 0;  // first row index of a dab clipped at the top edge
    std::int32_t half = 0;

    std::int32_t maxBrushSize = 0;
    std::int32_t brushRowValues = 0;
    const std::uint16_t* shape = nullptr;
    std::uint16_t* buffer = nullptr;     // the mixing buffer
    const std::uint8_t* grit = nullptr;  // current grit texture at its offset, or null when grit is off
    const std::uint8_t* texture = nullptr;
    const std::uint16_t* mask = nullptr;  // null when the mask is off (always null for the mask dab)
    bool bufferActive = false;

    std::uint32_t c0[4] = {};       // dab base colour (the level in [0] for the mask dab)
    std::uint32_t primary[4] = {};  // blendPrimaryStrength * c0
    // Alpha may be written at all (paint layer, or a current layer above slot
    // 1 without either alpha lock); the blob lock is tested per pixel.
    bool alphaWritable = false;
};

// Fills `f` for a dab at (x, y). Returns false when the dab is outside the
// data model and must not be drawn (nothing changed). Otherwise the per-dab
// draws have been made and the stroke rectangle (and the paint layer's
// bounds for a layer dab) widened; the frame may still hold no pixels.
bool prepareDab(PageBrush& page, std::int32_t x, std::int32_t y, bool maskDab, DabFrame& f);

// Shape column of dab column i: scaleTable[i] + k0, held inside the shape
// square (a scaled dab clipped at the left edge can reach one past it).
inline std::int32_t shapeColumn(const BrushSettings& s, const DabFrame& f, std::int32_t i) noexcept {
    const std::int32_t c = s.scaleTable[i] + f.k0;
    return c < s.brushSize ? c : s.brushSize - 1;
}

// Shape coordinates of dab column i on shape row sr: the rotated sample
// when rotation is on and it lies inside the shape square, else the
// unrotated one. Shape, grit and mixing buffer are all read there.
struct ShapeSample {
    std::int32_t row, column;
};
inline ShapeSample shapeSample(const BrushSettings& s, const DabFrame& f, std::int32_t i, std::int32_t sr) noexcept {
    ShapeSample p{sr, shapeColumn(s, f, i)};
    if (s.rotateMode == 1) {
        const float u = static_cast<float>(p.column - f.half), v = static_cast<float>(sr - f.half);
        const std::int32_t rx = static_cast<std::int32_t>(u * s.rotateCos - v * s.rotateSin) + f.half;
        const std::int32_t ry = static_cast<std::int32_t>(v * s.rotateCos + u * s.rotateSin) + f.half;
        if (rx >= 0 && rx < s.brushSize && ry >= 0 && ry < s.brushSize) p = {ry, rx};
    }
    return p;
}

}  // namespace plr
