// The composite filters: chains of in-house and library filters over the
// processing buffers that end, most of them, with mask-and-texture and a
// blend-mode merge of the last buffer into the current layer. Each step
// leaves its result where the next one reads it; "load" below is a masked
// load of DstBuffer32 followed by a refresh of SrcBuffer32, so later steps
// see the layer as changed so far. A failing library step ends the chain;
// what was loaded by then stays.
#include <cstring>

#include "adapters/effects/effect_library.h"
#include "adapters/effects/transforms.h"
#include "adapters/imaging/filters_artistic.h"
#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/filters_contrast_mask.h"
#include "adapters/imaging/filters_noise.h"
#include "adapters/imaging/filters_tone.h"
#include "brush/alpha_ops.h"
#include "core/block.h"
#include "core/failure.h"
#include "core/saturate.h"
#include "engine/filter_ops.h"
#include "engine/page.h"
#include "engine/page_buffers.h"
#include "engine/photo_pop.h"
#include "imaging/levels_tables.h"
#include "adapters/imaging/raster_channels.h"

namespace plr::filter_ops {
namespace il = imaging_lib;

namespace {

constexpr std::int32_t kAllChannels = 15;
constexpr std::int32_t kColourChannels = 7;

// The blend modes the chains finish with.
constexpr std::int32_t kNormal = 0, kOverlay = 8, kSoftLight = 10, kDodge = 11, kSubtract = 16, kTexturize = 17,
                       kTexturize2 = 18;

std::uint8_t* src(FilterRun& r) { return r.page.processing.src32.data(); }
std::uint8_t* dst(FilterRun& r) { return r.page.processing.dst32.data(); }

StepColour colourOf(const FilterRun& r) { return {r.call.args.red, r.call.args.green, r.call.args.blue}; }

// In-house `name` with keep flag `keep`, P1 = a, P2 = b, option 1 as the
// host passed it when `withOption1`, and the filter colour.
// 1000 - p for a host's argument of any size, held to the 32-bit range.
std::int32_t thousandLess(std::int32_t p) { return saturate32(std::int64_t{1000} - p); }

void inHouse(FilterRun& r, const char* name, std::int32_t keep, std::int32_t a = 0, std::int32_t b = 0,
             bool withOption1 = false) {
    inHouseStep(r.page, r.inHouse, name, keep, a, b, withOption1 ? r.option(1) : 0, colourOf(r));
}

void load(FilterRun& r) {
    maskedLoad32(r, dst(r));
    refreshSource(r);
}

// Mask-and-texture of `rgba`, then its merge into the current layer.
void finish(FilterRun& r, std::uint8_t* rgba, std::int32_t mode, std::int32_t strength) {
    maskAndTexture(r, rgba);
    mergeIntoLayer(r, rgba, mode, strength);
}

// Gaussian blur of sigma `sigma` from one page-sized RGBA32 buffer into another.
bool gaussian(FilterRun& r, const std::uint8_t* from, std::uint8_t* to, double sigma) {
    // The library call takes the kernel's reach, three sigmas.
    return il::GaussianBlurImage(from, to, r.width(), r.height(), 4, r.width() * 4, 3.0 * sigma, kAllChannels) != 0;
}

bool saturate(FilterRun& r, std::uint8_t* rgba, double factor) {
    return il::ModifyImageSaturation(rgba, r.width(), r.height(), 4, r.width() * 4, factor) != 0;
}

// Photo pop as its export runs it, without the filter colour.
bool popPhoto(FilterRun& r, std::int32_t strength, double saturation, std::uint8_t switchByte) {
    return photoPop(r.page, r.inHouse, strength, saturation, switchByte, {}) != 0;
}

// "Color Pencil" up to its saturation step: relief, then contrast, each loaded.
void pencilRelief(FilterRun& r) {
    refreshSource(r);
    inHouse(r, "Bas Relief", 0, 300, 0, true);
    load(r);
    inHouse(r, "Hyper Contrast", 0, r.call.args.p[0]);
    load(r);
}

// The pencil's saturation step on a fresh read of the layer.
bool pencilSaturation(FilterRun& r) {
    readLayerIntoSource(r);
    if (!saturate(r, src(r), popSaturationFactor(r.p[2]))) return false;
    maskedLoad32(r, src(r));
    return true;
}

bool crayonSteps(FilterRun& r) {
    pencilRelief(r);
    if (!pencilSaturation(r)) return false;
    inHouse(r, "Value Blur", 0, r.call.args.p[2], r.call.args.p[2]);
    maskedLoad32(r, dst(r));
    return true;
}

// The grey, inverted picture in DstBuffer32, the start of the sketch chains.
void greyInverted(FilterRun& r, bool withOption1) {
    inHouse(r, "Grayscale", 0, 0, 0, withOption1);
    inHouse(r, "Invert", 1, 0, 0, withOption1);
}

// Effect 23, the emboss, on SrcBuffer32 with the given strength and light
// angles, loaded through the mask.
bool embossSource(FilterRun& r, std::int32_t strength, std::int32_t azimuth, std::int32_t elevation) {
    const EffectValue v[] = {{3, strength}, {4, azimuth}, {5, elevation}, {7, 0}};
    if (!runEffect(r, src(r), 23, v, 4)) return false;
    maskedLoad32(r, src(r));
    return true;
}

// "Contrast Mask", with the library call's switch given.
bool contrastMaskBlock(FilterRun& r, std::int32_t strong) {
    if (r.option(1) == 0) {
        readLayerIntoSource(r);
        if (!il::ContrastMaskImage(src(r), r.width(), r.height(), 4, r.width() * 4, strong, r.p[1] / 18 + 2, 0))
            return false;
        maskedLoad32(r, src(r));
        return true;
    }
    refreshSource(r);
    inHouse(r, "Grayscale", 0, 0, 0, true);
    inHouse(r, "Invert", 0);
    preAdjust(r, dst(r));
    if (!gaussian(r, dst(r), src(r), 0.4 * r.p[1] + 0.6)) return false;
    postAdjust(r, src(r));
    finish(r, src(r), kSoftLight, 255);
    return true;
}

// DstBuffer32 through an RGB24 copy, scribbled, and back, alpha kept.
bool scribbleDestination(FilterRun& r) {
    const std::size_t n = r.page.pixelCount();
    Block<std::uint8_t> rgb, scribbled;
    need(rgb.allocate(n * 3) && scribbled.allocate(n * 3));
    std::uint8_t* d = dst(r);
    for (std::size_t i = 0; i < n; ++i) std::memcpy(rgb.data() + i * 3, d + i * 4, 3);
    if (!il::Scribble(rgb.data(), r.width(), r.height(), 3, r.width() * 3, scribbled.data(), r.width() * 3, 0,
                      r.option(4), 100, r.call.random))
        return false;
    for (std::size_t i = 0; i < n; ++i) std::memcpy(d + i * 4, scribbled.data() + i * 3, 3);
    return true;
}

}  // namespace

bool charcoal(FilterRun& r) {
    refreshSource(r);
    inHouse(r, "Grayscale", 0, 0, 0, true);
    load(r);
    inHouse(r, "Invert", 0, 0, 0, true);
    inHouse(r, "Value Blur", 1, r.call.args.p[0], r.call.args.p[1]);
    finish(r, dst(r), kDodge, 255);
    return false;
}

bool colorPencil(FilterRun& r) {
    pencilRelief(r);
    // The saturation reads the layer as the relief and contrast loads left it.
    if (saturate(r, src(r), popSaturationFactor(r.p[2]))) maskedLoad32(r, src(r));
    return false;
}

bool colorPencil2(FilterRun& r) {
    refreshSource(r);
    greyInverted(r, true);
    if (!embossSource(r, t(2.55 * r.p[1] + 1), 180, 90)) return false;
    finish(r, dst(r), kDodge, 255);
    return false;
}

bool crayon(FilterRun& r) {
    crayonSteps(r);
    return false;
}

bool pointillism(FilterRun& r) {
    if (!crayonSteps(r)) return false;
    refreshSource(r);
    readLayerIntoSource(r);
    if (il::AddGaussianNoise(src(r), r.width(), r.height(), 4, r.width() * 4, t(200 * r.p[4]), 0, 0, r.option(3),
                             kColourChannels, r.call.random))
        maskedLoad32(r, src(r));
    return false;
}

bool watercolorAndInk(FilterRun& r) {
    refreshSource(r);
    if (!popPhoto(r, r.call.args.p[0], r.p[2], r.optionByte(3))) return false;
    inHouse(r, "Grayscale", 0);
    inHouse(r, "Invert", 1);
    if (!scribbleDestination(r)) return false;
    inHouse(r, "Value Blur", 1, 1000, thousandLess(r.call.args.p[2]));
    finish(r, dst(r), kTexturize2, 255);
    return false;
}

bool levels(FilterRun& r) {
    const LevelsTable input = levelsInputTable(static_cast<std::uint8_t>(t(2.559 * r.p[1])),
                                               static_cast<std::uint8_t>(t(2.559 * r.p[2])));
    const LevelsTable output = levelsOutputTable(static_cast<std::uint8_t>(t(2.559 * r.p[3])),
                                                 static_cast<std::uint8_t>(t(2.559 * r.p[4])));
    // Options 3..6 pick red, green, blue and alpha; the others keep their values.
    const std::uint8_t* chosen[2][4] = {};
    for (int c = 0; c < 4; ++c)
        if (r.optionByte(3 + c)) chosen[0][c] = input.data(), chosen[1][c] = output.data();
    for (const auto& luts : chosen)
        if (!il::ApplyLUTsToImage40(r.out, r.width(), r.height(), 4, r.stride(), luts[0], luts[1], luts[2], luts[3]))
            return false;
    return true;
}

bool contrastMask(FilterRun& r) {
    contrastMaskBlock(r, r.option(3));
    return false;
}

bool photoPopFilter(FilterRun& r) {
    refreshSource(r);
    photoPop(r.page, r.inHouse, r.call.args.p[0], r.p[2], r.optionByte(3), colourOf(r));
    return false;
}

bool photoDetailer(FilterRun& r) {
    if (!contrastMaskBlock(r, 0)) return false;
    refreshSource(r);
    if (!popPhoto(r, r.call.args.p[1], r.p[3], 0)) return false;
    inHouse(r, "Grayscale", 0);
    inHouse(r, "Invert", 1);
    inHouse(r, "Value Blur", 1, 1000, thousandLess(r.call.args.p[3]));
    finish(r, dst(r), kTexturize, 255);
    return false;
}

bool radiant(FilterRun& r) {
    refreshSource(r);
    preAdjust(r, src(r));
    if (!gaussian(r, src(r), dst(r), 0.4 * r.p[1] + 0.6)) return false;
    postAdjust(r, dst(r));
    finish(r, dst(r), kOverlay, t(2.5 * r.p[2]));
    return false;
}

bool radiant2(FilterRun& r) {
    refreshSource(r);
    if (!il::ContrastMaskImage(src(r), r.width(), r.height(), 4, r.width() * 4, 0, 43.0 / 9.0, 0)) return false;
    inHouse(r, "Invert", 0);
    finish(r, dst(r), kTexturize, t(2.559 * r.p[1]));
    return false;
}

bool dropShadow(FilterRun& r) {
    const std::int32_t w = r.width(), h = r.height();
    refreshSource(r);
    effect_lib::TransformList& list = r.effects.transforms;
    effect_lib::ClearAllTransforms(list);
    const double dx = t(w * (0.02 * r.p[1] - 1)), dy = t(h * (0.02 * r.p[2] - 1));
    if (!effect_lib::AddOffsetTransform(list, w, h, dx, dy, 0) ||
        !effect_lib::TransformProcess(list, src(r), w, h, w * 4, dst(r), w * 4, 4, 2, r.packedColour))
        return false;
    setColorKeepAlpha(dst(r), r.page.pixelCount(), 0, 0, 0);
    preAdjust(r, dst(r));
    if (!gaussian(r, dst(r), src(r), 0.4 * r.p[3] + 0.6)) return false;
    postAdjust(r, src(r));
    setDstBuffer32(r.page, src(r));
    maskAndTexture(r, dst(r));
    refreshSource(r);
    // The shadow at its strength, then the layer's own picture over it.
    mergeIntoLayer(r, dst(r), kNormal, t(2.559 * r.p[4]));
    mergeIntoLayer(r, src(r), kNormal, 255);
    return false;
}

bool frostedGlass(FilterRun& r) {
    effect_lib::TransformList& list = r.effects.transforms;
    effect_lib::ClearAllTransforms(list);
    return effect_lib::AddRandomTransform(list, r.width(), r.height(), t(0.5 * r.p[1])) &&
           effect_lib::TransformProcess(list, r.in, r.width(), r.height(), r.stride(), r.out, r.stride(), 4, 0,
                                        r.packedColour);
}

bool glow(FilterRun& r) {
    refreshSource(r);
    inHouse(r, "Invert", 0);
    inHouse(r, "Value Blur", 1, thousandLess(r.call.args.p[0]), 1000);
    finish(r, dst(r), kSubtract, 255);
    return false;
}

bool edge3(FilterRun& r) {
    refreshSource(r);
    inHouse(r, "Grayscale", 0, 0, 0, true);
    maskedLoad32(r, dst(r));
    refreshSource(r);
    inHouse(r, "Invert", 0, 0, 0, true);
    inHouse(r, "Value Blur", 1, thousandLess(r.call.args.p[0]), thousandLess(r.call.args.p[1]));
    finish(r, dst(r), kDodge, 255);
    return false;
}

bool emboss3(FilterRun& r) {
    refreshSource(r);
    greyInverted(r, true);
    if (!embossSource(r, t(2.559 * r.p[1] + 1), t(3.6 * r.p[2]), 45)) return false;
    finish(r, dst(r), kDodge, 255);
    return false;
}

bool outliner1(FilterRun& r) {
    refreshSource(r);
    greyInverted(r, true);
    inHouse(r, "Value Blur", 1, 1000, thousandLess(r.call.args.p[0]));
    finish(r, dst(r), kTexturize, 255);
    return false;
}

bool outliner2(FilterRun& r) {
    refreshSource(r);
    if (!popPhoto(r, r.call.args.p[0], r.p[2], r.optionByte(3))) return false;
    greyInverted(r, true);
    inHouse(r, "Value Blur", 1, 1000, thousandLess(r.call.args.p[2]));
    finish(r, dst(r), kTexturize, 255);
    return false;
}

}  // namespace plr::filter_ops
