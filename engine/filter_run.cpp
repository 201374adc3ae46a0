#include "engine/filter_run.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/raster.h"
#include "core/block.h"
#include "core/failure.h"
#include "engine/page.h"
#include "engine/page_buffers.h"
#include "imaging/alpha_premultiply.h"
#include "layers/layer_load.h"
#include "layers/merge_rgba32.h"

namespace plr {

FilterRun::FilterRun(Page& pg, FilterState& h, effect_lib::LibraryState& e, const FilterCall& c,
                     const FilterHooks& k) noexcept
    : page(pg), inHouse(h), effects(e), call(c), hooks(k) {
    for (int i = 1; i <= 6; ++i) p[i] = static_cast<float>(c.args.p[i - 1] * 0.1);
    packedColour = static_cast<std::uint32_t>(c.args.red & 0xFF) | static_cast<std::uint32_t>(c.args.green & 0xFF) << 8 |
                   static_cast<std::uint32_t>(c.args.blue & 0xFF) << 16;
}

std::int32_t FilterRun::width() const noexcept { return page.width; }
std::int32_t FilterRun::height() const noexcept { return page.height; }
std::int32_t FilterRun::longerSide() const noexcept { return page.width > page.height ? page.width : page.height; }

std::int32_t t(double x) noexcept {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(x);
}

std::uint32_t packedFromSliders(double high, double middle, double low) noexcept {
    auto part = [](double v) { return static_cast<std::uint32_t>(t(2.559 * v)) & 0xFFu; };
    return part(high) << 16 | part(middle) << 8 | part(low);
}

bool refreshSource(FilterRun& run) { return updateSrcBuffer32(run.page); }
void readLayerIntoSource(FilterRun& run) { updateSrcBuffer32(run.page); }

void preAdjust(FilterRun& run, std::uint8_t* rgba) { premultiplyRGBA32(rgba, run.page.pixelCount()); }
void postAdjust(FilterRun& run, std::uint8_t* rgba) { unpremultiplyRGBA32(rgba, run.page.pixelCount()); }

void maskedLoad32(FilterRun& run, const std::uint8_t* rgba) {
    Page& page = run.page;
    if (LayerRecord* layer = page.currentLayer)
        loadRGBA32Layer(page, rgba, page.width * 4, page.currentLayerIndex, 0, 0, layer->width, layer->height, true);
}

void maskedLoad24(FilterRun& run, const std::uint8_t* rgb) { loadRGB24(run.page, rgb, run.page.width * 3, true); }

void maskAndTexture(FilterRun& run, std::uint8_t* rgba) {
    adjustRGBA32ByMaskAndTexture(run.page.coverage(), rgba, run.page.width, run.page.height);
}

bool mergeIntoLayer(FilterRun& run, const std::uint8_t* rgba, std::int32_t mode, std::int32_t strength) {
    LayerRecord* layer = run.page.currentPageLayer();
    return layer && mergeRGBA32IntoLayer(run.page, rgba, *layer, mode, 0, strength, layer->alphaLock != 0);
}

bool runEffect(FilterRun& run, std::uint8_t* rgba, std::int32_t number, const EffectValue* values, int count,
               bool swapChannels) {
    return runEffectSized(run, rgba, run.width(), run.height(), number, values, count, swapChannels);
}

bool runEffectSized(FilterRun& run, std::uint8_t* rgba, std::int32_t w, std::int32_t h, std::int32_t number,
                    const EffectValue* values, int count, bool swapChannels) {
    using namespace effect_lib;
    LibraryState& lib = run.effects;
    if (!Initialize(lib)) return false;
    bool ok = AddEffect(lib, number, 1) != 0;
    for (int i = 0; ok && i < count; ++i) ok = SetEffectValue(lib, 0, values[i].parameter, values[i].value) != 0;
    if (ok && swapChannels) ok = imaging_lib::RGBAToBGRA(rgba, w, h, w * 4) != 0;
    if (ok) {
        ok = ExecuteScriptOnImage(lib, rgba, w, h) != 0;
        if (swapChannels) imaging_lib::RGBAToBGRA(rgba, w, h, w * 4);
    }
    Finish(lib);
    return ok;
}

void spreadGreyIntoOutput(FilterRun& run, const std::uint8_t* grey) {
    std::uint8_t* rgb = run.out;
    for (std::size_t i = 0, n = run.page.pixelCount(); i < n; ++i) rgb[i * 3] = rgb[i * 3 + 1] = rgb[i * 3 + 2] = grey[i];
}

}  // namespace plr
