// The dab loop for the common settings: no per-pixel variation, Normal mode
// (smudge with the mixing buffer), not erasing; grit or not, turned or not.
// Same results as the reference loop; per-dab work is hoisted, the shape
// columns are looked up once per dab (the cells of a turned dab once per
// row), and the divisions of the Normal rule become exact reciprocal
// multiplies.
#include <algorithm>
#include <cmath>

#include "brush/dab_divide.h"
#include "brush/dab_loops.h"
#include "brush/dab_normal_row.h"
#include "brush/dab_pixel.h"
#include "brush/dab_rotated_row.h"
#include "brush/dab_smudge_row.h"
#include "brush/page_brush.h"

namespace plr {
namespace {

using dab::u32;

struct FastSettings {
    bool fullAlpha;
    u32 alpha128;
    bool solid;
    bool bufferActive;
    bool remixOn;
    bool primaryOn;
    u32 primaryInverse;
};

// Normal source-over of one pixel over a target with alpha (da != 0).
inline void normalOver(u32 cov, const u32 s[4], const u32 d[4], u32 r[3], u32& ra) noexcept {
    const u32 da = d[3];
    const u32 sc = dab::div65535(cov * s[3]);
    ra = dab::div65535((65535 - da) * sc) + da;
    const u32 keep = 65535 - sc;
    if (ra == 65535) {
        for (int c = 0; c < 3; ++c) r[c] = dab::div65535(((d[c] * da) >> 16) * keep) + ((sc * s[c]) >> 16);
        return;
    }
    const double reciprocal = 1.0 / static_cast<double>(ra);
    for (int c = 0; c < 3; ++c) {
        const u32 sum = dab::div65535(((d[c] * da) >> 16) * keep) + ((sc * s[c]) >> 16);
        r[c] = dab::divideBy(sum * 65535, ra, reciprocal);
    }
}

}  // namespace

bool fastDabApplies(const PageBrush& page, const DabFrame& f) noexcept {
    const BrushSettings& st = page.brush.settings;
    if (st.mixMode != kMixModeNormal || st.eraseMode) return false;
    if (f.bufferActive && st.imageBrushMode) return false;
    const VariationCursors v = VariationCursors::forDab(page);
    return !v.colour && !v.lum;
}

namespace {

// How a row's shape values are read: along contiguous cells, gathered from
// a cell table, or already in the coverage array (a turned row).
enum class ShapeRead { Contiguous, Gathered, Loaded };

// Coverage of one row: shape value, opacity, paper texture, mask, solid; 0
// where the grit cell is above the density (the pixel is not painted at all).
// Pixel i reads shape and grit at cell cells[i] from their bases.
// Branch-free so that the contiguous case vectorises.
template <ShapeRead Read>
void rowCoverage(const FastSettings& fs, const std::uint16_t* shapeBase, const std::int32_t* cells,
                 const std::uint8_t* tex, const std::uint16_t* msk, const std::uint8_t* gritBase,
                 std::int32_t density, std::int32_t width, u32* cov) noexcept {
    const std::uint16_t* at = shapeBase + cells[0];
    if (Read != ShapeRead::Loaded || !fs.fullAlpha)
        for (std::int32_t i = 0; i < width; ++i) {
            const u32 sv =
                Read == ShapeRead::Contiguous ? at[i] : Read == ShapeRead::Gathered ? shapeBase[cells[i]] : cov[i];
            cov[i] = fs.fullAlpha ? sv : (sv * fs.alpha128) >> 7;
        }
    if (tex)
        for (std::int32_t i = 0; i < width; ++i) cov[i] = tex[i] < 255 ? (cov[i] * tex[i]) >> 8 : cov[i];
    if (msk)
        for (std::int32_t i = 0; i < width; ++i) cov[i] = msk[i] < 65535 ? (cov[i] * msk[i]) >> 16 : cov[i];
    if (fs.solid)
        for (std::int32_t i = 0; i < width; ++i) cov[i] = cov[i] != 0 ? 65535u : 0u;
    if (gritBase) {
        const std::uint8_t* at = gritBase + cells[0];
        for (std::int32_t i = 0; i < width; ++i) {
            const std::int32_t g = Read == ShapeRead::Contiguous ? at[i] : gritBase[cells[i]];
            cov[i] = g > density ? 0u : cov[i];
        }
    }
}

}  // namespace

void drawDabFast(PageBrush& page, const DabFrame& f) {
    const BrushSettings& st = page.brush.settings;
    const FastSettings fs{st.alphaPercent >= 100,
                          static_cast<u32>(st.alpha128),
                          st.solidBrushMode != 0,
                          f.bufferActive,
                          f.bufferActive && st.blendRemix != 0,
                          f.bufferActive && st.blendPrimaryStrength != 0,
                          static_cast<u32>(st.blendPrimaryInverse)};
    if (f.area.empty()) return;
    const auto width = static_cast<std::int32_t>(f.area.width());
    std::int32_t columns[kScaleTableLength];
    u32 cov[kScaleTableLength];
    bool contiguous = true;
    for (std::int32_t i = 0; i < width; ++i) {
        columns[i] = shapeColumn(st, f, i);
        contiguous = contiguous && columns[i] == columns[0] + i;
    }
    // A turned dab: the column products once per dab, the cells per row.
    const bool rotated = st.rotateMode == 1;
    float uCos[kScaleTableLength], uSin[kScaleTableLength];
    std::int32_t cells[kScaleTableLength];
    if (rotated)
        for (std::int32_t i = 0; i < width; ++i) {
            const float u = static_cast<float>(columns[i] - f.half);
            uCos[i] = u * st.rotateCos;
            uSin[i] = u * st.rotateSin;
        }
    // The samples of a turned row wander across many shape rows, too far
    // apart for the hardware to fetch ahead: the row kernel asks early for
    // the cells kPrefetchRows rows on, one dab row moving the samples by
    // (-sin, cos). Only a hint, held to that many rows and columns.
    constexpr float kPrefetchRows = 4.0f;
    const auto rowsOn = [](float x) {
        return x >= -kPrefetchRows && x <= kPrefetchRows ? static_cast<std::int32_t>(std::lround(x)) : 0;
    };
    const std::int32_t ahead = rotated ? rowsOn(kPrefetchRows * st.rotateCos) * f.maxBrushSize -
                                             rowsOn(kPrefetchRows * st.rotateSin)
                                       : 0;
    dab::RotatedRow turn{uCos, uSin, columns, 0.0f, 0.0f, f.half, static_cast<std::uint32_t>(st.brushSize),
                         f.maxBrushSize, 0, f.shape, static_cast<std::size_t>(f.maxBrushSize) * f.maxBrushSize, ahead};
    const auto rotatedRow = dab::rotatedRowKernel();
    // A plain brush: one colour, Normal, colour and alpha written as composed.
    const bool plainRow = !f.bufferActive && !st.colorLocked && !st.blobLocked && st.alphaLevel < 1;
    const dab::NormalRow normal{{f.c0[0], f.c0[1], f.c0[2], f.c0[3]}, f.alphaWritable};
    const auto normalRow = dab::normalRowKernel();
    // Smudge over contiguous shape cells, colour and alpha written as composed.
    const bool smudgeRows = f.bufferActive && !st.colorLocked && !st.blobLocked && st.alphaLevel < 1;
    dab::SmudgeRow smudge;
    smudge.alphaWritable = f.alphaWritable;
    smudge.remix = fs.remixOn;
    smudge.primaryOn = fs.primaryOn;
    smudge.primaryInverse = fs.primaryInverse;
    for (int k = 0; k < 4; ++k) smudge.primary[k] = f.primary[k];
    smudge.blendStrength = static_cast<u32>(st.blendStrength);
    smudge.blendStrengthInverse = static_cast<u32>(st.blendStrengthInverse);
    const auto smudgeRow = dab::smudgeRowKernel();

    for (std::int32_t y = f.area.top, j = f.j0; y < f.area.bottom; ++y, ++j) {
        std::uint16_t* row =
            f.target + static_cast<std::size_t>(y) * f.rowValues + static_cast<std::size_t>(f.area.left) * 4;
        const std::int32_t sr = std::min(st.scaleTable[j], st.brushSize - 1);
        const std::uint8_t* tex = f.texture ? f.texture + static_cast<std::size_t>(y) * page.width + f.area.left : nullptr;
        const std::uint16_t* msk = f.mask ? f.mask + static_cast<std::size_t>(y) * page.width + f.area.left : nullptr;
        // The row's shape cells from a base shared by shape, grit and the
        // mixing buffer (four values a cell): the shape row and its columns,
        // or the whole square and the turned row's cells.
        const std::size_t baseCell = rotated ? 0 : static_cast<std::size_t>(sr) * f.maxBrushSize;
        const std::uint16_t* shapeBase = f.shape + baseCell;
        std::uint16_t* mixBase = f.buffer + baseCell * 4;
        const std::uint8_t* gritBase = f.grit ? f.grit + baseCell : nullptr;
        const std::int32_t* rowCells = rotated ? cells : columns;
        bool rowContiguous = contiguous;
        if (rotated) {
            const float v = static_cast<float>(sr - f.half);
            turn.vCos = v * st.rotateCos;
            turn.vSin = v * st.rotateSin;
            turn.rowCell = sr * f.maxBrushSize;
            rowContiguous = rotatedRow(turn, width, cells, cov);
            rowCoverage<ShapeRead::Loaded>(fs, shapeBase, cells, tex, msk, gritBase, st.density, width, cov);
        } else if (contiguous) {
            rowCoverage<ShapeRead::Contiguous>(fs, shapeBase, columns, tex, msk, gritBase, st.density, width, cov);
        } else {
            rowCoverage<ShapeRead::Gathered>(fs, shapeBase, columns, tex, msk, gritBase, st.density, width, cov);
        }

        if (plainRow) {
            normalRow(normal, row, cov, width);
            continue;
        }
        if (smudgeRows && rowContiguous) {
            smudgeRow(smudge, row, mixBase + static_cast<std::size_t>(rowCells[0]) * 4, cov, width);
            continue;
        }
        for (std::int32_t i = 0; i < width; ++i) {
            const u32 c = cov[i];
            if (c == 0) continue;
            u32 s[4];
            std::uint16_t* mix = mixBase + static_cast<std::size_t>(rowCells[i]) * 4;
            if (fs.bufferActive) {
                s[0] = mix[0], s[1] = mix[1], s[2] = mix[2], s[3] = mix[3];
                if (fs.primaryOn)
                    for (int k = 0; k < 4; ++k) s[k] = (fs.primaryInverse * s[k] + f.primary[k]) >> 8;
            } else {
                s[0] = f.c0[0], s[1] = f.c0[1], s[2] = f.c0[2], s[3] = f.c0[3];
            }

            std::uint16_t* px = row + static_cast<std::size_t>(i) * 4;
            const u32 d[4] = {px[0], px[1], px[2], px[3]};
            u32 r[3], ra;
            if (d[3] == 0) {
                ra = (c * s[3]) >> 16;
                r[0] = s[0], r[1] = s[1], r[2] = s[2];
            } else if (fs.bufferActive) {
                const u32 keep = 65536 - c;
                ra = (((keep * d[3]) >> 8) + ((c * s[3]) >> 8)) >> 8;
                for (int k = 0; k < 3; ++k) r[k] = s[3] != 0 ? (((keep * d[k]) >> 8) + ((c * s[k]) >> 8)) >> 8 : d[k];
            } else {
                normalOver(c, s, d, r, ra);
            }
            if (fs.remixOn) dab::remix(st, mix, s, d);
            dab::writeTarget(st, f.alphaWritable, px, d[3], r, ra);
        }
    }
}

}  // namespace plr
