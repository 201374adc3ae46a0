// The plain dab loop: one pixel at a time, every setting tested where it
// applies, in the order the dab applies them.
#include <algorithm>
#include <cmath>

#include "brush/dab_loops.h"
#include "brush/dab_pixel.h"
#include "brush/engine_services.h"
#include "core/crt_random.h"
#include "brush/page_brush.h"

namespace plr {
namespace {

using dab::u32;

u32 clamp16(std::int64_t v) noexcept { return static_cast<u32>(std::clamp<std::int64_t>(v, 0, 65535)); }

bool tableFits(const RandomByteTable& t, const PageBrush& page) noexcept {
    const std::int64_t want = std::int64_t{page.maxBrushSize} * 3;
    return t.length == want && t.data.size() >= static_cast<std::size_t>(want) && want > 0;
}

}  // namespace

VariationCursors VariationCursors::forDab(const PageBrush& page) noexcept {
    VariationCursors v;
    const BrushSettings& s = page.brush.settings;
    if (s.pixColorVary > 0 && tableFits(page.brush.colorVaryTable, page)) {
        v.colour = page.brush.colorVaryTable.data.data();
        v.colourLength = page.brush.colorVaryTable.length;
        v.colourRange = s.pixColorVary;
    }
    if (s.pixLumVary > 0 && tableFits(page.brush.lumVaryTable, page)) {
        v.lum = page.brush.lumVaryTable.data.data();
        v.lumLength = page.brush.lumVaryTable.length;
        v.lumRange = s.pixLumVary;
    }
    return v;
}

void VariationCursors::startRow(const PageBrush& page) {
    const std::int32_t scaled = page.brush.settings.scaledSize;
    CrtRandom& rng = engineRandom();
    if (colour && (colourAt < 0 || colourAt + scaled >= colourLength - 1)) colourAt = rng.next() % page.maxBrushSize;
    if (lum && (lumAt < 0 || lumAt + scaled >= lumLength - 1)) lumAt = rng.next() % page.maxBrushSize;
}

void VariationCursors::applyLightness(std::uint32_t* q, int channels) noexcept {
    const std::int32_t b = lum[lumAt++];
    const float t = static_cast<float>(128 - (lumRange >> 1) + (b % lumRange)) / 256.0f;
    for (int c = 0; c < channels; ++c) {
        const float v = static_cast<float>(q[c]);
        float out;
        if (t > 0.5f) {
            const float k = 2.0f * (t - 0.5f);
            out = v + (65535.0f - v) * k;
        } else {
            const float k = 2.0f * (0.5f - t);
            out = v - v * k;
        }
        q[c] = clamp16(static_cast<std::int64_t>(out));
    }
}

void drawDabReference(PageBrush& page, const DabFrame& f) {
    BrushSettings& st = page.brush.settings;
    const std::int32_t mbs = f.maxBrushSize;
    const bool listedMix = st.mixMode >= 34 && isListedMixMode(st.mixMode);
    const bool normalLike = st.mixMode == kMixModeNormal || (st.mixMode >= 34 && !listedMix);
    const bool remixOn = f.bufferActive && st.blendRemix;
    VariationCursors vary = VariationCursors::forDab(page);

    for (std::int32_t y = f.area.top, j = f.j0; y < f.area.bottom; ++y, ++j) {
        std::uint16_t* row =
            f.target + static_cast<std::size_t>(y) * f.rowValues + static_cast<std::size_t>(f.area.left) * 4;
        const std::int32_t sr = std::min(st.scaleTable[j], st.brushSize - 1);
        const std::uint8_t* tex = f.texture ? f.texture + static_cast<std::size_t>(y) * page.width + f.area.left : nullptr;
        const std::uint16_t* msk = f.mask ? f.mask + static_cast<std::size_t>(y) * page.width + f.area.left : nullptr;
        vary.startRow(page);

        for (std::int32_t x = f.area.left, i = 0; x < f.area.right; ++x, ++i) {
            // Shape coordinates, rotated when the rotated sample lies inside the shape.
            const ShapeSample sample = shapeSample(st, f, i, sr);
            const std::int32_t py = sample.row, pxs = sample.column;
            const std::size_t at = static_cast<std::size_t>(py) * mbs + static_cast<std::size_t>(pxs);
            if (f.grit && static_cast<std::int32_t>(f.grit[at]) > st.density) continue;

            // Coverage.
            const u32 sv = f.shape[at];
            u32 cov = st.alphaPercent >= 100 ? sv : (sv * static_cast<u32>(st.alpha128)) >> 7;
            if (tex && tex[i] < 255) cov = (cov * tex[i]) >> 8;
            if (msk && msk[i] < 65535) cov = (cov * msk[i]) >> 16;
            if (cov == 0) continue;
            if (st.solidBrushMode) cov = 65535;

            // Source colour.
            u32 s[4];
            std::uint16_t* mix =
                f.buffer + static_cast<std::size_t>(py) * f.brushRowValues + static_cast<std::size_t>(pxs) * 4;
            if (!f.bufferActive) {
                for (int c = 0; c < 4; ++c) s[c] = f.c0[c];
                if (vary.colour) {
                    const std::int32_t w = vary.nextColourOffset();
                    for (int c = 0; c < 4; ++c) s[c] = clamp16(std::int64_t{s[c]} + w);
                }
                if (vary.lum) vary.applyLightness(s, 3);
            } else {
                for (int c = 0; c < 4; ++c) s[c] = mix[c];
                if (st.imageBrushMode && s[3] < 65535) {
                    cov = std::max<u32>(1, (cov * s[3]) >> 16);
                    s[3] = 65535;
                }
                if (vary.colour) {
                    const std::int32_t w = vary.nextColourOffset();
                    for (int c = 0; c < 3; ++c) s[c] = clamp16(std::int64_t{s[c]} + w);
                }
                if (vary.lum) vary.applyLightness(s, 3);
                if (st.blendPrimaryStrength != 0) {
                    const u32 pi = static_cast<u32>(st.blendPrimaryInverse);
                    for (int c = 0; c < 4; ++c) s[c] = (pi * s[c] + f.primary[c]) >> 8;
                }
            }
            if (st.eraseMode) s[3] = 0;

            // Compose.
            std::uint16_t* px = row + static_cast<std::size_t>(i) * 4;
            u32 d[4] = {px[0], px[1], px[2], px[3]};
            const u32 da = d[3];
            u32 r[3] = {0, 0, 0}, ra = 0;
            bool write = true;
            if (listedMix)
                write = dab::composeMix(st, page.brush.colorBanks, cov, s, d, r, ra);
            else
                dab::composeStandard(st, f.bufferActive, normalLike, cov, s, d, r, ra);
            if (remixOn) dab::remix(st, mix, s, d);
            if (write) dab::writeTarget(st, f.alphaWritable, px, da, r, ra);
        }
    }
}

}  // namespace plr
