// Noise and texture: the arguments each filter passes to its library call.
// Every random draw is seeded with the host's random value.
#include <algorithm>

#include "adapters/imaging/filters_artistic.h"
#include "adapters/imaging/filters_noise.h"
#include "core/block.h"
#include "core/failure.h"
#include "engine/filter_ops.h"
#include "engine/page.h"

namespace plr::filter_ops {
namespace il = imaging_lib;

namespace {

constexpr std::int32_t kColourChannels = 7;

#define PLR_RASTER(r) (r).out, (r).width(), (r).height(), (r).bytesPerPixel, (r).stride()
#define PLR_TWO_RASTERS(r) (r).in, (r).width(), (r).height(), (r).bytesPerPixel, (r).stride(), (r).out, (r).stride()

// A generated grey plane into the three channels of the output.
template <class Generate>
bool generated(FilterRun& r, Generate&& generate) {
    Block<std::uint8_t> grey;
    need(grey.allocate(std::max<std::size_t>(r.page.pixelCount(), 1)));
    if (!generate(grey.data())) return false;
    spreadGreyIntoOutput(r, grey.data());
    return true;
}

}  // namespace

bool addGaussianNoise(FilterRun& r) {
    return il::AddGaussianNoise(PLR_RASTER(r), t(200 * r.p[1]), 0, 0, r.option(3), kColourChannels, r.call.random) != 0;
}
bool addUniformNoise(FilterRun& r) {
    return il::AddUniformNoise(PLR_RASTER(r), t(200 * r.p[1]), 0, 0, r.option(3), kColourChannels, r.call.random) != 0;
}
bool addNegativeExpNoise(FilterRun& r) {
    return il::AddNegativeExpNoise(PLR_RASTER(r), t(200 * r.p[1]), r.option(3), kColourChannels, r.call.random) != 0;
}
bool addRayleighNoise(FilterRun& r) {
    return il::AddRayleighNoise(PLR_RASTER(r), t(200 * r.p[1]), r.option(3), kColourChannels, r.call.random) != 0;
}

bool halftone(FilterRun& r) { return il::HalftoneImage(PLR_RASTER(r), std::max(1, t(0.5 * r.p[1])), r.option(3)) != 0; }
bool mosaic(FilterRun& r) { return il::MosaicImage(PLR_RASTER(r), std::max(1, t(0.5 * r.p[1]))) != 0; }

bool colorNoise(FilterRun& r) {
    return il::GenerateColoredNoise(PLR_RASTER(r), r.packedColour, t(r.p[1]), r.option(1), r.call.random) != 0;
}

bool hugoNoise(FilterRun& r) {
    return generated(r, [&](std::uint8_t* grey) {
        return il::GenerateHugoNoise(grey, r.width(), r.height(), r.width(), t(0.04 * r.p[1] + 2), 10 - 0.1 * r.p[2],
                                     1 - 0.01 * r.p[3], r.call.random) != 0;
    });
}

bool perlinNoise(FilterRun& r) {
    return generated(r, [&](std::uint8_t* grey) {
        return il::GeneratePerlinNoise(grey, r.width(), r.height(), r.width(), 1 - 0.01 * r.p[1], r.call.random) != 0;
    });
}

bool oilPaint(FilterRun& r) {
    const std::int32_t flags = (r.optionByte(3) == 1 ? 1 : 0) | (r.optionByte(4) == 1 ? 2 : 0);
    return il::OilPaintRGB(PLR_TWO_RASTERS(r), t(r.p[1] * 0.01 * 10 + 2), t(r.p[2] * 0.01 * 255), flags) != 0;
}

bool stipple(FilterRun& r) {
    return il::Stipple(PLR_TWO_RASTERS(r), t(r.p[1]), r.option(1), r.option(2), r.call.random) != 0;
}

bool gausy(FilterRun& r) {
    return il::GauzyRGB(PLR_TWO_RASTERS(r), r.p[1] * 0.01, r.p[2] * 0.01, r.p[3] * 0.01, r.option(1)) != 0;
}

bool scribble(FilterRun& r) {
    return il::Scribble(PLR_TWO_RASTERS(r), r.option(1), r.option(3), t(r.p[1]), r.call.random) != 0;
}

#undef PLR_RASTER
#undef PLR_TWO_RASTERS

}  // namespace plr::filter_ops
