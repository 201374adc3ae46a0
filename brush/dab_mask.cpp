// The mask dab: the brush placed as for a layer dab, painting a mask level
// (black opens, white closes) into the mask plane.
#include <algorithm>

#include "brush/dab_loops.h"
#include "brush/page_brush.h"

namespace plr {
namespace {

using u32 = std::uint32_t;

u32 clamp16(std::int64_t v) noexcept { return static_cast<u32>(std::clamp<std::int64_t>(v, 0, 65535)); }

}  // namespace

void drawMaskDabLoop(PageBrush& page, const DabFrame& f) {
    const BrushSettings& st = page.brush.settings;
    const std::int32_t mbs = f.maxBrushSize;
    const u32 vb = f.c0[0];
    const bool remixOn = f.bufferActive && st.blendRemix;
    const u32 bs = static_cast<u32>(st.blendStrength), bi = static_cast<u32>(st.blendStrengthInverse);
    VariationCursors vary = VariationCursors::forDab(page);

    for (std::int32_t y = f.area.top, j = f.j0; y < f.area.bottom; ++y, ++j) {
        std::uint16_t* row = f.target + static_cast<std::size_t>(y) * f.rowValues + f.area.left;
        const std::int32_t sr = std::min(st.scaleTable[j], st.brushSize - 1);
        const std::uint8_t* tex = f.texture ? f.texture + static_cast<std::size_t>(y) * page.width + f.area.left : nullptr;
        vary.startRow(page);

        for (std::int32_t x = f.area.left, i = 0; x < f.area.right; ++x, ++i) {
            const ShapeSample sample = shapeSample(st, f, i, sr);
            const std::int32_t py = sample.row, pxs = sample.column;
            const std::size_t at = static_cast<std::size_t>(py) * mbs + static_cast<std::size_t>(pxs);
            if (f.grit && static_cast<std::int32_t>(f.grit[at]) > st.density) continue;
            const u32 sv = f.shape[at];
            u32 cov = st.alphaPercent >= 100 ? sv : (sv * static_cast<u32>(st.alpha128)) >> 7;
            if (tex && tex[i] < 255) cov = (cov * tex[i]) >> 8;
            if ((cov & 0xFFFF) == 0) continue;
            if (st.solidBrushMode) cov = 65535;

            // The mixing buffer read as one 16-bit value per shape column.
            std::uint16_t* held = f.buffer + static_cast<std::size_t>(py) * f.brushRowValues + pxs;
            u32 v = f.bufferActive ? *held : vb;
            if (vary.colour) v = clamp16(std::int64_t{v} + vary.nextColourOffset());
            if (vary.lum) vary.applyLightness(&v, 1);
            if (f.bufferActive && st.blendPrimaryStrength != 0)
                v = (static_cast<u32>(st.blendPrimaryInverse) * v + static_cast<u32>(st.blendPrimaryStrength) * vb) >>
                    8;

            const u32 old = row[i];
            if (remixOn) *held = static_cast<std::uint16_t>(std::min<u32>(65535, ((bi * old + bs * v) >> 8) + 1));
            // Full coverage sets the level itself: the blend's rounding would
            // stop a black dab one short of a fully open mask.
            row[i] =
                static_cast<std::uint16_t>(cov >= 65535 ? v : ((((65536 - cov) * old) >> 8) + ((cov * v) >> 8)) >> 8);
        }
    }
}

}  // namespace plr
