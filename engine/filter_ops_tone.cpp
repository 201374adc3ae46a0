// Tone and colour: the arguments each filter passes to its library call.
#include <algorithm>

#include "adapters/imaging/filters_artistic.h"
#include "adapters/imaging/filters_tone.h"
#include "adapters/imaging/raster_grey.h"
#include "core/block.h"
#include "core/failure.h"
#include "engine/filter_ops.h"
#include "engine/page.h"
#include "imaging/hsl_adjust.h"

namespace plr::filter_ops {
namespace il = imaging_lib;

namespace {

constexpr std::int32_t kAllChannels = 15;

// The raster the in-place calls work on.
#define PLR_RASTER(r) (r).out, (r).width(), (r).height(), (r).bytesPerPixel, (r).stride()

ColourShift shiftOf(const FilterRun& r) {
    return {t(3.6 * r.p[1] - 180), t(2 * r.p[2] - 100), t(2 * r.p[3] - 100)};
}

bool glow(FilterRun& r, bool inner) {
    const std::uint32_t colour = packedFromSliders(r.p[3], r.p[2], r.p[1]);
    return (inner ? il::InnerGlowRGBA : il::OuterGlowRGBA)(PLR_RASTER(r), t(r.p[4]), r.p[5] * 0.01, colour, 0, 0) != 0;
}

}  // namespace

bool brightnessContrast(FilterRun& r) {
    return il::AdjustBrightnessContrast(PLR_RASTER(r), 2 * r.p[1] * 0.01 - 1, 2 * r.p[2] * 0.01 - 1, 1) != 0;
}

bool gamma(FilterRun& r) { return il::AdjustGamma(PLR_RASTER(r), 2 * r.p[1] * 0.01, 0) != 0; }

bool histogramEqualize(FilterRun& r) {
    return il::BrightnessHistogramEqualizeImage(PLR_RASTER(r), t(2.559 * r.p[1]), t(2.559 * r.p[2]), kAllChannels) != 0;
}
bool histogramEqualizeChannels(FilterRun& r) {
    return il::HistogramEqualizeImage(PLR_RASTER(r), t(2.559 * r.p[1]), t(2.559 * r.p[2]), kAllChannels) != 0;
}
bool histogramStretch(FilterRun& r) {
    return il::BrightnessHistogramStretchImage(PLR_RASTER(r), r.p[1], r.p[2], 0, 0) != 0;
}
bool histogramStretchChannels(FilterRun& r) {
    return il::HistogramStretchImage(PLR_RASTER(r), r.p[1], r.p[2], 0, kAllChannels) != 0;
}
bool brightnessStretchHsl(FilterRun& r) {
    return il::BrightnessHistogramStretchImageInHSL(PLR_RASTER(r), r.p[1], r.p[2], 0) != 0;
}

bool colorize(FilterRun& r) {
    const EffectValue v[] = {{3, t(2.559 * r.p[1])}, {4, t(2.559 * r.p[2])}, {5, t(2.559 * r.p[3])}};
    return runEffect(r, r.out, 28, v, 3);
}

bool colourBalance(FilterRun& r) {
    // Options 3, 4 and 5 choose which of the shadow, mid-tone and highlight
    // triples take the slider shifts; the others stay 0.
    const std::int32_t shift[3] = {t(r.p[1] - 50), t(r.p[2] - 50), t(r.p[3] - 50)};
    il::ColourBalance b{};
    std::int32_t* triples[3] = {b.shadows, b.midtones, b.highlights};
    for (int k = 0; k < 3; ++k)
        if (r.optionByte(3 + k) == 1) std::copy(shift, shift + 3, triples[k]);
    return il::AdjustImageColorBalance(PLR_RASTER(r), b, t(r.p[4] - 50), 0) != 0;
}

bool adjustHsl(FilterRun& r) {
    hslAdjust(r.out, r.width(), r.height(), shiftOf(r));
    return true;
}
bool adjustHsv(FilterRun& r) {
    hsvAdjust(r.out, r.width(), r.height(), shiftOf(r));
    return true;
}

bool duotone(FilterRun& r) {
    return il::DuotoneImage(PLR_RASTER(r), packedFromSliders(r.p[3], r.p[2], r.p[1]), 0) != 0;
}

bool grayscale(FilterRun& r) {
    // The grey of the source as the host left it, into all three channels.
    Page& page = r.page;
    Block<std::uint8_t> grey;
    need(grey.allocate(std::max<std::size_t>(page.pixelCount(), 1)));
    if (!il::ImageToGrayScale8Bit(page.processing.src32.data(), r.width(), r.height(), 4, r.width() * 4, grey.data(),
                                  r.width(), 0))
        return false;
    spreadGreyIntoOutput(r, grey.data());
    return true;
}

bool hyperSaturation(FilterRun& r) {
    const double p1 = r.p[1];
    const double factor = p1 > 50 ? 0.02 * (p1 - 50) * 9 + 1 : 0.02 * p1 * 11 - 10;
    return il::ModifyImageSaturation(PLR_RASTER(r), factor) != 0;
}

bool negative(FilterRun& r) { return il::InvertImage(PLR_RASTER(r), 0) != 0; }
bool posterize(FilterRun& r) { return il::PosterizeRGB(PLR_RASTER(r), 0) != 0; }
bool solarize(FilterRun& r) { return il::SolarizeImage(PLR_RASTER(r), 0) != 0; }

bool threshold(FilterRun& r) {
    return il::ThresholdFilter(PLR_RASTER(r), t(2.55 * r.p[1]), t(2.55 * r.p[2]), kAllChannels) != 0;
}

bool tint(FilterRun& r) { return il::AdjustTint(PLR_RASTER(r), t(3.6 * r.p[1] - 180), 0) != 0; }

bool watercolorTint(FilterRun& r) {
    const std::int32_t flags = (r.optionByte(3) == 1 ? 1 : 0) | (r.optionByte(4) == 1 ? 2 : 0);
    return il::WatercolorTintRGB(r.in, r.width(), r.height(), r.bytesPerPixel, r.stride(), r.out, r.stride(),
                                 r.p[1] * 0.01, flags) != 0;
}

bool deinterlace(FilterRun& r) { return il::Deinterlace(PLR_RASTER(r), r.optionByte(3) ? 1 : 5) != 0; }

bool hdri(FilterRun& r) {
    const double mean = il::FindImageMean(r.in, r.width(), r.height(), 4, r.stride(), kAllChannels);
    const double deviation = il::FindImageStandardDeviation(r.in, r.width(), r.height(), 4, r.stride(), kAllChannels);
    return il::LocalHistogramEnhancement(r.in, r.width(), r.height(), 4, r.stride(), r.out, r.stride(), 3, mean,
                                         deviation, r.p[1] * 0.01, r.p[2] * 0.001, r.p[3] * 0.01, r.p[4] * 0.05,
                                         kAllChannels) != 0;
}

bool glowInner(FilterRun& r) { return glow(r, true); }
bool glowOuter(FilterRun& r) { return glow(r, false); }

#undef PLR_RASTER

}  // namespace plr::filter_ops
