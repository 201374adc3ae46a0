// Sharpen, edges and relief: the arguments each filter passes to its
// library call or effect.
#include <algorithm>
#include <cstring>

#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/raster_grey.h"
#include "core/block.h"
#include "core/failure.h"
#include "engine/filter_ops.h"
#include "engine/page.h"

namespace plr::filter_ops {
namespace il = imaging_lib;

namespace {

constexpr std::int32_t kColourChannels = 7;

// A page-sized grey plane (at least one byte).
void allocatePlane(const FilterRun& r, Block<std::uint8_t>& plane) {
    need(plane.allocate(std::max<std::size_t>(r.page.pixelCount(), 1)));
}

// The grey of a page-sized raster of `bpp` bytes a pixel into `plane`.
bool greyOf(const FilterRun& r, const std::uint8_t* raster, std::int32_t bpp, Block<std::uint8_t>& plane) {
    allocatePlane(r, plane);
    return il::ImageToGrayScale8Bit(raster, r.width(), r.height(), bpp, r.width() * bpp, plane.data(), r.width(), 0) !=
           0;
}

}  // namespace

bool sharpen(FilterRun& r) {
    return il::SharpenImage(r.in, r.width(), r.height(), 3, r.stride(), r.out, r.stride(), t(r.p[1]),
                            kColourChannels) != 0;
}

bool sharpenMore(FilterRun& r) {
    return il::SharpenImageRadius(r.in, r.width(), r.height(), 3, r.stride(), r.out, r.stride(), t(0.1 * r.p[1]),
                                  r.p[2] * 0.01, kColourChannels) != 0;
}

bool unsharpMask(FilterRun& r) {
    // Slider 4 (0..100) gives up to ten passes; a larger value the host
    // sends is held to that, so the filter's time stays that of the slider.
    constexpr std::int32_t kMostPasses = 10;
    const std::int32_t passes = std::clamp(t(0.1 * r.p[4]), 1, kMostPasses);
    const std::size_t bytes = r.page.pixelCount() * 3;
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        if (pass > 0) std::memcpy(r.in, r.out, bytes);
        if (!il::UnsharpMaskImage(r.in, r.width(), r.height(), 3, r.stride(), r.out, r.stride(), t(2.559 * r.p[1]),
                                  r.p[2] * 0.01, 0.04 * r.p[3] + 0.2, kColourChannels))
            return false;
    }
    return true;
}

bool bevel(FilterRun& r) {
    const std::int32_t width = r.optionByte(3) ? t(r.p[1] * 0.01 * (std::min(r.width(), r.height()) / 2.0)) : t(r.p[1]);
    return il::ShadeBevelEdge(r.out, r.width(), r.height(), 3, r.stride(), width, 3, 0, t(2.559 * r.p[2]),
                              t(2.559 * r.p[3]), t(2.559 * r.p[4]), t(2.559 * r.p[5]), t(5 * r.p[6])) != 0;
}

bool crackle(FilterRun& r) {
    return il::CrackleRGB(r.in, r.width(), r.height(), 3, r.stride(), r.out, r.stride(), r.option(1), t(r.p[1]),
                          r.option(3)) != 0;
}

bool emboss(FilterRun& r) {
    Block<std::uint8_t> grey;
    if (!greyOf(r, r.in, 3, grey)) return false;
    return il::EmbossRGB(grey.data(), r.width(), r.height(), r.width(), r.out, r.stride(), r.p[1] * 3.6 / 360 * 6.28,
                         r.p[2] * 3.6 / 360 * 3.14, t(0.5 * r.p[3])) != 0;
}

bool fingerprint(FilterRun& r) {
    Block<std::uint8_t> grey, ridges;
    if (!greyOf(r, r.page.processing.src32.data(), 4, grey)) return false;
    allocatePlane(r, ridges);
    if (!il::Fingerprint(grey.data(), r.width(), r.height(), r.width(), ridges.data(), r.width(), t(r.p[1]),
                         t(0.1 * r.p[2]), r.option(3)))
        return false;
    spreadGreyIntoOutput(r, ridges.data());
    return true;
}

bool edge2(FilterRun& r) {
    Block<std::uint8_t> grey, edges;
    if (!greyOf(r, r.in, 3, grey)) return false;
    allocatePlane(r, edges);
    if (!il::CannyEdgeDetector(grey.data(), r.width(), r.height(), r.width(), edges.data(), r.width(),
                               1.8 * r.p[1] * 0.01 + 0.6, 0.3 * r.p[2] * 0.01 + 0.2, 0.3 * r.p[3] * 0.01 * 0.6))
        return false;
    spreadGreyIntoOutput(r, edges.data());
    return true;
}

bool edge(FilterRun& r) {
    const EffectValue v[] = {{3, t(2.559 * r.p[1])}, {4, t(r.p[2])}, {5, t(r.p[3])}};
    return runEffect(r, r.out, 19, v, 3);
}

bool bump(FilterRun& r) {
    const EffectValue v[] = {{3, t(2.559 * r.p[1] + 1)}, {4, t(0.5 * r.p[2] + 1)}, {5, t(0.5 * r.p[3] - 25)}};
    return runEffect(r, r.out, 27, v, 3);
}

bool emboss2(FilterRun& r) {
    const EffectValue v[] = {{3, t(2.559 * r.p[1] + 1)}, {4, t(3.6 * r.p[2])}, {5, t(1.8 * r.p[3])}, {7, t(r.p[4])}};
    return runEffect(r, r.out, 23, v, 4);
}

}  // namespace plr::filter_ops
