#pragma once
// The stroke-smoothing spline: three pen points in, 100 curve points out.
#include <array>
#include <cstdint>

namespace plr {

inline constexpr std::int32_t kSplinePoints = 100;

struct SplineState {
    std::array<double, kSplinePoints> x{}, y{}, z{};
    std::int32_t count = 0;  // 0 until the first spline, then 100
};

// The curve from (x1, y1) near (x2, y2) to (x3, y3); the coordinates are read
// as unsigned 32-bit values.
void calcSpline3(SplineState& spline, std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2,
                 std::uint32_t x3, std::uint32_t y3) noexcept;
// Truncated x (or y) of point `index`; an index at or past the count gives
// the last point, a negative one the first; 0 before any spline.
std::int32_t splinePointX(const SplineState& spline, std::int32_t index) noexcept;
std::int32_t splinePointY(const SplineState& spline, std::int32_t index) noexcept;

}  // namespace plr
