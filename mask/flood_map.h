#pragma once
// Flood maps (one byte a page pixel, 1 = in the region) applied to packed
// RGBA32 page buffers, and the host's fill and wand settings turned into the
// distances and values the region search and the builders take.
#include <cstddef>
#include <cstdint>

namespace plr {

// Every pixel whose map byte is 1 gets the four bytes (low byte of each).
void paintFloodMap(std::uint8_t* rgba, const std::uint8_t* map, std::size_t count, std::int32_t red,
                   std::int32_t green, std::int32_t blue, std::int32_t alpha) noexcept;
// Every pixel whose map byte is 1 gets alpha 0; its colour stays.
void clearAlphaOfFloodMap(std::uint8_t* rgba, const std::uint8_t* map, std::size_t count) noexcept;

// Fill and wand tolerances arrive on a 0..50000 scale (percent * 500).
// Squared RGB distance: trunc(tolerance * 0.00002 * 195075), where 195075 is
// black to white; pinned to -1 (nothing matches) .. 195075 (everything does).
constexpr std::int32_t fillSquaredTolerance(std::int32_t tolerance) noexcept {
    const double t = tolerance * 0.00002 * 195075;
    if (t >= 195075.0) return 195075;
    if (t <= -1.0) return -1;
    return static_cast<std::int32_t>(t);
}
// Percent, for the range builders (which turn it into a byte distance).
constexpr std::int32_t fillPercentTolerance(std::int32_t tolerance) noexcept { return tolerance / 500; }
// Fraction, for the HSL range: 1.0 is 100 %.
constexpr double fillFractionTolerance(std::int32_t tolerance) noexcept { return tolerance * 0.00002; }
// Strength in percent to 0..255: trunc(strength * 2.559), 100 % giving 255;
// held to 0..255.
constexpr std::int32_t wandStrength(std::int32_t strength) noexcept {
    const double s = strength * 2.559;
    if (s >= 255.0) return 255;
    if (s <= 0.0) return 0;
    return static_cast<std::int32_t>(s);
}

}  // namespace plr
