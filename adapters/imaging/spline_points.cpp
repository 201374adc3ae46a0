// Cardinal splines: cubic Hermite segments between the control points.
#include "adapters/imaging/spline_points.h"

#include <algorithm>

namespace plr::imaging_lib {

namespace {

// Control point i of one coordinate, the ends mirrored: p(-1) = 2p(0) - p(1)
// and p(n) = 2p(n-1) - p(n-2), so the end tangents point along the first
// and last chords.
double control(const double* p, std::int32_t n, std::int32_t i) noexcept {
    if (i < 0) return 2.0 * p[0] - p[1];
    if (i >= n) return 2.0 * p[n - 1] - p[n - 2];
    return p[i];
}

double hermite(const double* p, std::int32_t n, std::int32_t segment, double s, double tension) noexcept {
    const double p0 = p[segment], p1 = p[segment + 1];
    const double m0 = tension * (p1 - control(p, n, segment - 1));
    const double m1 = tension * (control(p, n, segment + 2) - p0);
    // Power form: a constant stays exactly constant and evenly spaced
    // points on a line stay exactly on it.
    const double c2 = 3 * (p1 - p0) - 2 * m0 - m1;
    const double c3 = 2 * (p0 - p1) + m0 + m1;
    return p0 + s * (m0 + s * (c2 + s * c3));
}

}  // namespace

std::int32_t Get3DSplinePoints(std::int32_t outCount, std::int32_t inCount, std::int32_t tensionPercent,
                               const double* inX, const double* inY, const double* inZ, double* outX, double* outY,
                               double* outZ) noexcept {
    if (inCount < 2 || outCount < 2 || !inX || !inY || !inZ || !outX || !outY || !outZ) return 0;
    const double tension = tensionPercent / 100.0;
    const std::int32_t segments = inCount - 1;
    for (std::int32_t i = 0; i < outCount; ++i) {
        // Position along the whole curve, in segments.
        const double u = static_cast<double>(i) * segments / (outCount - 1);
        const std::int32_t segment = std::min(static_cast<std::int32_t>(u), segments - 1);
        const double s = u - segment;
        outX[i] = hermite(inX, inCount, segment, s, tension);
        outY[i] = hermite(inY, inCount, segment, s, tension);
        outZ[i] = hermite(inZ, inCount, segment, s, tension);
    }
    // The last point is the last control point, not a rounding of it.
    outX[outCount - 1] = inX[inCount - 1];
    outY[outCount - 1] = inY[inCount - 1];
    outZ[outCount - 1] = inZ[inCount - 1];
    return 1;
}

}  // namespace plr::imaging_lib
