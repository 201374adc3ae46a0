#pragma once
// Smooth curves through control points.
#include <cstdint>

namespace plr::imaging_lib {

// `outCount` points of the cardinal spline through the `inCount` control
// points (in x, y, z), evenly spaced in the curve's parameter, the first on
// the first control point and the last on the last. `tensionPercent` sets the
// tangents: tangent at point i = tension x (next - previous), with the end
// points mirrored past the ends; 50 gives the Catmull-Rom curve, 0 straight
// segments. Answers 1, or 0 (outputs untouched) when the counts are not
// inCount >= 2, outCount >= 2 or a pointer is null.
std::int32_t Get3DSplinePoints(std::int32_t outCount, std::int32_t inCount, std::int32_t tensionPercent,
                               const double* inX, const double* inY, const double* inZ, double* outX, double* outY,
                               double* outZ) noexcept;

}  // namespace plr::imaging_lib
