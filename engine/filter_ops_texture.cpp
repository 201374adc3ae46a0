// The texture filters and the pattern builder: pictures made by the stored
// effect script named in the text argument, tiled over the page.
#include <algorithm>

#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/filters_tone.h"
#include "adapters/imaging/raster_grey.h"
#include "brush/source_image.h"
#include "core/block.h"
#include "core/failure.h"
#include "engine/displacement_bump.h"
#include "engine/filter_ops.h"
#include "engine/page.h"
#include "engine/texture_tiles.h"
#include "layers/merge_rgba32.h"
#include "mask/mask_apply.h"

namespace plr::filter_ops {
namespace il = imaging_lib;

namespace {

// The tile size of the texturize filters: the script's own, or scaled by
// 0.05 * p when option 8 is 1; at least 4 x 4.
void texturizeTileSize(const FilterRun& r, const formats::RgbaImage& tile, float p, std::int32_t& w, std::int32_t& h) {
    const bool scaled = r.optionByte(8) == 1;
    w = std::max(4, scaled ? t(0.05 * p * tile.width) : tile.width);
    h = std::max(4, scaled ? t(0.05 * p * tile.height) : tile.height);
}

// The script's tile, inverted when asked, resized and tiled over a fresh
// page-sized picture.
bool texturePlane(FilterRun& r, float scale, bool invert, Block<std::uint8_t>& work) {
    formats::RgbaImage tile;
    if (!renderScriptSource(r.call.text, tile)) return false;
    if (invert) il::InvertImage(tile.pixels.data(), tile.width, tile.height, 4, tile.width * 4, 0);
    std::int32_t w = 0, h = 0;
    texturizeTileSize(r, tile, scale, w, h);
    need(resizeTile(tile, w, h));
    need(work.allocate(std::max<std::size_t>(r.page.pixelCount(), 1) * 4));
    tileOverPicture(tile, work.data(), r.width(), r.height());
    return true;
}

}  // namespace

bool backgrounds(FilterRun& r) {
    formats::RgbaImage tile;
    if (!renderScriptSource(r.call.text, tile)) return false;
    need(resizeTile(tile, t(r.p[1] * 0.01 * tile.width), t(r.p[1] * 0.01 * tile.height)));
    std::uint8_t* src = r.page.processing.src32.data();
    tileOverPicture(tile, src, r.width(), r.height());
    maskedLoad32(r, src);
    return false;
}

// Runs in the 24-bit shape: the relief of the tiled texture into run.out.
bool texturizeEmboss(FilterRun& r) {
    readLayerIntoSource(r);
    Block<std::uint8_t> work, grey;
    if (!texturePlane(r, r.p[4], r.optionByte(3) == 1, work)) return false;
    need(grey.allocate(std::max<std::size_t>(r.page.pixelCount(), 1)));
    if (!il::ImageToGrayScale8Bit(work.data(), r.width(), r.height(), 4, r.width() * 4, grey.data(), r.width(), 0))
        return false;
    return il::EmbossRGB(grey.data(), r.width(), r.height(), r.width(), r.out, r.stride(), r.p[1] * 3.6 / 360 * 6.28,
                         r.p[2] * 3.6 / 360 * 3.14, t(0.5 * r.p[3])) != 0;
}

bool texturizeBump(FilterRun& r) {
    readLayerIntoSource(r);
    Block<std::uint8_t> work;
    if (!texturePlane(r, r.p[5], r.optionByte(4) == 1, work)) return false;
    const EffectValue v[] = {{3, t(2.559 * r.p[1] + 1)}, {4, t(0.5 * r.p[2] + 1)}, {5, t(0.5 * r.p[3] - 25)}};
    if (!runEffect(r, work.data(), 27, v, 3, false)) return false;
    const std::size_t n = r.page.pixelCount();
    for (std::size_t i = 0; i < n; ++i) work[i * 4 + 3] = 255;
    if (r.page.mask.enabled) applyMaskToAlpha(r.page.maskPage(), work.data());
    LayerRecord* layer = r.page.currentPageLayer();
    if (layer)
        mergeRGBA32IntoLayer(r.page, work.data(), *layer, r.option(3) != 0 ? 18 : 17, 0, t(2.559 * r.p[4]), true);
    return false;
}

bool displacementBumpFilter(FilterRun& r) {
    refreshSource(r);
    preAdjust(r, r.page.processing.src32.data());
    displacementBump(r.page, r.call.text, r.p[1], r.packedColour);
    return false;
}

// The pattern builder: the script's tile, optionally resized, run through
// the distortion effects the sliders ask for, then tiled over SrcBuffer32.
bool patternExplorer(FilterRun& r) {
    formats::RgbaImage tile;
    if (!renderScriptSource(r.call.text, tile)) return false;
    const float* p = r.p;
    if (p[6] < 100) need(resizeTile(tile, std::max(5, t(p[6] * 0.01 * tile.width)), std::max(5, t(p[6] * 0.01 * tile.height))));
    std::uint8_t* px = tile.pixels.data();
    const std::int32_t w = tile.width, h = tile.height;
    auto effect = [&](std::int32_t number, std::initializer_list<EffectValue> v) {
        return runEffectSized(r, px, w, h, number, v.begin(), static_cast<int>(v.size()), false);
    };
    if (p[4] != 50 && !effect(51, {{3, t(7.2 * p[4] - 360)}, {4, 100}})) return false;
    if ((p[1] > 0 || p[2] > 0) && !effect(16, {{3, t(10 * p[1])}, {4, t(p[2])}, {6, 0}, {5, 1}})) return false;
    if (p[3] > 0 && !effect(13, {{3, t(0.2 * p[3])}, {4, t(0.2 * p[3])}, {5, 4}, {6, 4}, {7, 0}, {8, 0}, {9, 1}}))
        return false;
    if (r.optionByte(4) == 1 && !effect(6, {{3, 360}, {4, 3}, {5, 3}, {7, 1}})) return false;
    if (p[5] != 50 && !effect(54, {{3, t((w / 50) * double(p[5]) - w)}, {4, t((h / 50) * double(p[5]) - h)}}))
        return false;
    const std::int32_t offset = t(r.call.random / 32767.0 * w * h);
    if (!effect(49, {{3, offset % w}, {4, offset / h}, {5, r.option(3) != 0 ? 2 : 1}, {6, 0}})) return false;
    std::uint8_t* src = r.page.processing.src32.data();
    tileOverPicture(tile, src, r.width(), r.height());
    maskedLoad32(r, src);
    return false;
}

}  // namespace plr::filter_ops
