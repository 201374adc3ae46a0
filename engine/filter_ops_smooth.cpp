// Blur and smoothing: the arguments each filter passes to its library call.
#include <algorithm>

#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/filters_smooth.h"
#include "engine/filter_ops.h"

namespace plr::filter_ops {
namespace il = imaging_lib;

namespace {

constexpr std::int32_t kAllChannels = 15, kColourChannels = 7;

bool motion(FilterRun& r, double angle, double distance, std::int32_t softness, std::int32_t kind) {
    return il::MotionBlur(r.in, r.width(), r.height(), r.bytesPerPixel, r.stride(), r.out, r.stride(), angle, distance,
                          softness, kind) != 0;
}

bool neighbourhood(FilterRun& r, il::Neighbourhood kind) {
    return il::NeighbourhoodFilter(kind, r.in, r.width(), r.height(), r.bytesPerPixel, r.stride(), r.out, r.stride(),
                                   t(0.2 * r.p[1]), kAllChannels) != 0;
}

}  // namespace

bool blur(FilterRun& r) {
    return il::BlurImageLevel(r.in, r.width(), r.height(), r.bytesPerPixel, r.stride(), r.out, r.stride(), t(r.p[1]),
                              kAllChannels) != 0;
}

bool blurMore(FilterRun& r) {
    return il::BlurImageRadius(r.in, r.width(), r.height(), r.bytesPerPixel, r.stride(), r.out, r.stride(),
                               t(0.2 * r.p[1]), r.p[2] * 0.01, kAllChannels) != 0;
}

bool gaussianBlur(FilterRun& r) {
    const double sigma = r.optionByte(3) ? r.p[1] * 0.01 * r.longerSide() * 0.05 : 0.4 * r.p[1] + 0.6;
    // The library call takes the kernel's reach, three sigmas.
    return il::GaussianBlurImage(r.in, r.out, r.width(), r.height(), r.bytesPerPixel, r.stride(), 3.0 * sigma,
                                 kAllChannels) != 0;
}

bool motionBlur(FilterRun& r) { return motion(r, r.p[1] * 0.01 * 360 - 180, 0.2 * r.p[2], t(r.p[3]), 0); }
bool radialBlur(FilterRun& r) { return motion(r, 0, 0.2 * r.p[1], t(r.p[2]), 1); }
bool zoomBlur(FilterRun& r) { return motion(r, 0, 0.2 * r.p[1], t(r.p[2]), 2); }

bool surfaceBlur(FilterRun& r) {
    const std::int32_t radius = std::max(1, r.optionByte(3) == 1 ? t(r.p[1]) : t(0.2 * r.p[1]));
    const double range = 0.25 * r.p[2] < 0.1 ? 0.1 : 0.25 * r.p[2];
    return il::BilateralFilterImage(r.in, r.width(), r.height(), 3, r.stride(), r.out, r.stride(), radius, 0, range,
                                    135) != 0;
}

bool despeckle(FilterRun& r) {
    return il::DespeckleImage(r.out, r.width(), r.height(), r.bytesPerPixel, r.stride(), kColourChannels) != 0;
}

bool dustAndScratches(FilterRun& r) {
    return il::DustAndScratches(r.in, r.width(), r.height(), r.bytesPerPixel, r.stride(), r.out, r.stride(),
                                std::max(2, t(r.p[1])), t(255 - 2.559 * r.p[2]), r.p[3] * 0.01, kColourChannels) != 0;
}

bool arithmeticMean(FilterRun& r) { return neighbourhood(r, il::Neighbourhood::ArithmeticMean); }
bool midpoint(FilterRun& r) { return neighbourhood(r, il::Neighbourhood::Midpoint); }
bool geometricMean(FilterRun& r) { return neighbourhood(r, il::Neighbourhood::GeometricMean); }
bool harmonicMean(FilterRun& r) { return neighbourhood(r, il::Neighbourhood::HarmonicMean); }
bool maximum2(FilterRun& r) { return neighbourhood(r, il::Neighbourhood::Maximum); }
bool minimum2(FilterRun& r) { return neighbourhood(r, il::Neighbourhood::Minimum); }
bool median(FilterRun& r) { return neighbourhood(r, il::Neighbourhood::Median); }

bool maximum(FilterRun& r) {
    const EffectValue v[] = {{3, t(0.25 * r.p[1] + 1)}};
    return runEffect(r, r.out, 25, v, 1);
}

bool minimum(FilterRun& r) {
    const EffectValue v[] = {{3, t(0.25 * r.p[1] + 1)}};
    return runEffect(r, r.out, 26, v, 1);
}

}  // namespace plr::filter_ops
