// The stroke-smoothing spline over the imaging library's spline points.
#include "brush/spline.h"

#include <algorithm>
#include <cmath>

#include "adapters/imaging/spline_points.h"

namespace plr {

namespace {

constexpr std::int32_t kTensionPercent = 50;

// trunc(v), held to the 32-bit range (the inputs reach 2^32 - 1).
std::int32_t truncated(double v) noexcept {
    if (std::isnan(v)) return 0;
    return static_cast<std::int32_t>(std::clamp(std::trunc(v), double(INT32_MIN), double(INT32_MAX)));
}

std::int32_t pointCoordinate(const SplineState& s, const std::array<double, kSplinePoints>& c,
                             std::int32_t index) noexcept {
    if (s.count <= 0) return 0;
    return truncated(c[static_cast<std::size_t>(std::clamp(index, 0, s.count - 1))]);
}

}  // namespace

void calcSpline3(SplineState& s, std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2,
                 std::uint32_t x3, std::uint32_t y3) noexcept {
    const double inX[3] = {double(x1), double(x2), double(x3)};
    const double inY[3] = {double(y1), double(y2), double(y3)};
    const double inZ[3] = {0.0, 0.0, 0.0};
    imaging_lib::Get3DSplinePoints(kSplinePoints, 3, kTensionPercent, inX, inY, inZ, s.x.data(), s.y.data(),
                                   s.z.data());
    s.count = kSplinePoints;
}

std::int32_t splinePointX(const SplineState& s, std::int32_t index) noexcept { return pointCoordinate(s, s.x, index); }
std::int32_t splinePointY(const SplineState& s, std::int32_t index) noexcept { return pointCoordinate(s, s.y, index); }

}  // namespace plr
