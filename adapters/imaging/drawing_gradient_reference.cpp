// The gradient fills pixel by pixel: each pixel's entry from its own
// coordinates, its colour interpolated from the stops on the spot.
#include "adapters/imaging/drawing_gradient.h"

namespace plr::imaging_lib::reference {

using namespace gradient;

std::int32_t GradientFillImageLinear(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double x1, double y1, double x2, double y2,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t /*flags*/, double opacity, std::int32_t /*reserved*/) noexcept {
    LinearAxis axis;
    if (!validFill(pixels, width, height, bytesPerPixel, stride, stops, positions, count) ||
        !linearAxis(x1, y1, x2, y2, axis))
        return 0;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const std::int32_t entry = entryOfFixed(axis.rowStart(y) + axis.perColumnFixed * x);
            putPixel(static_cast<std::uint8_t*>(pixels) + std::int64_t{y} * stride + std::int64_t{x} * bytesPerPixel,
                     bytesPerPixel, entryColour(stops, positions, count, entry), opacityWeight(opacity));
        }
    return 1;
}

std::int32_t GradientFillImageRadial(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                     std::int32_t stride, double radius, double cx, double cy,
                                     const std::uint32_t* stops, const double* positions, std::int32_t count,
                                     std::int32_t /*flags*/, double opacity, std::int32_t /*reserved*/) noexcept {
    if (!validFill(pixels, width, height, bytesPerPixel, stride, stops, positions, count) ||
        !validRadial(radius, cx, cy))
        return 0;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const float dy = static_cast<float>(y) - static_cast<float>(cy);
            const float dx = static_cast<float>(x) - static_cast<float>(cx);
            const std::int32_t entry = radialEntry(dx, dy * dy, static_cast<float>(kLastEntry / radius));
            putPixel(static_cast<std::uint8_t*>(pixels) + std::int64_t{y} * stride + std::int64_t{x} * bytesPerPixel,
                     bytesPerPixel, entryColour(stops, positions, count, entry), opacityWeight(opacity));
        }
    return 1;
}

}  // namespace plr::imaging_lib::reference
