#pragma once
// The drawing family's gradient fills: linear and radial, up to any number
// of colour stops, into 3- or 4-byte rasters.
#include <cmath>
#include <cstdint>
#include <cstring>

namespace plr::imaging_lib {

// Stops: one packed value each, blue in the low byte, then green, red and a
// fourth byte carried like the others (the engine's transparency), with a
// position in percent of the gradient's length (0..100, ascending). A pixel
// receives red, green, blue and, in a 4-byte raster, the fourth byte, in that
// memory order.
//
// The parameter of pixel (x, y) (its centre, in pixels) is its position in
// percent: along the line from (x1, y1) to (x2, y2) projected onto it for a
// linear fill, its distance from (cx, cy) over the radius for a radial one.
// Before the first stop a pixel takes the first stop's colour, after the last
// the last's; between two stops the colour is interpolated linearly per byte
// and rounded. The parameter is resolved to 1/16 percent: colours come from a
// table of 1601 entries (position = entry / 16), so a stop at a whole percent
// is met exactly.
//
// `opacity` 1.0 writes the gradient; below 1.0 each byte moves from its value
// toward the gradient's by opacity (weights of 1/256). `flags` and `reserved`
// select nothing: the plain gradient is the only one. Returns 0, drawing
// nothing, for an invalid raster, fewer than one stop, a gradient line
// shorter than one pixel or a radius below one pixel, or a raster wider or
// taller than 2^24 pixels.
std::int32_t GradientFillImageLinear(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double x1, double y1, double x2, double y2,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t flags, double opacity, std::int32_t reserved) noexcept;
std::int32_t GradientFillImageRadial(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double radius, double cx, double cy,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t flags, double opacity, std::int32_t reserved) noexcept;

// The pieces the fills and their plain reference share.
namespace gradient {

constexpr std::int32_t kStepsPerPercent = 16;
constexpr std::int32_t kLastEntry = 100 * kStepsPerPercent;  // entries 0..kLastEntry
constexpr int kFractionBits = 24;                            // of the linear fill's fixed-point entry index

// The colour of table entry `entry` as the four output bytes (red, green,
// blue, fourth byte) packed in memory order.
std::uint32_t entryColour(const std::uint32_t* stops, const double* positions, std::int32_t count,
                          std::int32_t entry) noexcept;

// Linear fill: the fixed-point entry index of pixel (x, y) is
// rowStart(y) + perColumn * x (kFractionBits fraction bits, half an entry
// added for rounding); the entry is that index's integer part held to
// 0..kLastEntry.
struct LinearAxis {
    double perColumn = 0, perRow = 0, origin = 0;  // entries per pixel and at (0, 0)
    std::int64_t perColumnFixed = 0;
    std::int64_t rowStart(std::int32_t y) const noexcept;
};
// False for a line shorter than one pixel.
bool linearAxis(double x1, double y1, double x2, double y2, LinearAxis& out) noexcept;
inline std::int32_t entryOfFixed(std::int64_t index) noexcept {
    const std::int64_t e = index >> kFractionBits;
    return e < 0 ? 0 : e > kLastEntry ? kLastEntry : static_cast<std::int32_t>(e);
}
// Radial fill, in single precision (four pixels to a vector instruction
// where the processor has them, the same rounding everywhere): with
// dx = float(x) - float(cx), dy = float(y) - float(cy) and
// perPixel = float(kLastEntry / radius), entry = trunc(sqrt(dx * dx + dy * dy)
// * perPixel + 1/2), at most kLastEntry.
inline std::int32_t radialEntry(float dx, float dySquared, float perPixel) noexcept {
    const float e = std::sqrt(dx * dx + dySquared) * perPixel + 0.5f;
    return e >= static_cast<float>(kLastEntry) ? kLastEntry : static_cast<std::int32_t>(e);
}
// 1.0 / 256 steps of the opacity; 256 writes the gradient's bytes as they are.
inline std::uint32_t opacityWeight(double opacity) noexcept {
    return opacity >= 1.0 ? 256u : opacity > 0 ? static_cast<std::uint32_t>(opacity * 256.0) : 0u;
}
// Writes the first `bpp` bytes of `colour` (memory order) into `px` at the weight.
inline void putPixel(std::uint8_t* px, std::int32_t bpp, std::uint32_t colour, std::uint32_t weight) noexcept {
    std::uint8_t c[4];
    std::memcpy(c, &colour, 4);
    for (std::int32_t k = 0; k < bpp; ++k)
        px[k] = weight >= 256 ? c[k] : std::uint8_t((c[k] * weight + px[k] * (256 - weight) + 128) >> 8);
}
// The checks both fills make before drawing.
bool validFill(const void* pixels, std::int32_t width, std::int32_t height, std::int32_t bpp, std::int32_t stride,
               const std::uint32_t* stops, const double* positions, std::int32_t count) noexcept;
// A radius of at least one pixel about a finite centre.
inline bool validRadial(double radius, double cx, double cy) noexcept {
    return radius >= 1.0 && std::isfinite(radius) && std::isfinite(cx) && std::isfinite(cy);
}

}  // namespace gradient

// The plain per-pixel fills (no table, no incremental index), the reference
// the fills above are held to bit for bit.
namespace reference {
std::int32_t GradientFillImageLinear(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double x1, double y1, double x2, double y2,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t flags, double opacity, std::int32_t reserved) noexcept;
std::int32_t GradientFillImageRadial(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double radius, double cx, double cy,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t flags, double opacity, std::int32_t reserved) noexcept;
}  // namespace reference

}  // namespace plr::imaging_lib
