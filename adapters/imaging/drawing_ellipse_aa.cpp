#include "adapters/imaging/drawing_ellipse_aa.h"

#include <algorithm>
#include <cmath>

namespace plr::imaging_lib {
namespace {

constexpr int kMaxSubRows = 16;

// The chord of an ellipse on one horizontal line: [left, right], empty when
// left > right.
struct Chord {
    double left = 1, right = 0;
};

Chord chordAt(double cx, double cy, double a, double b, double lineY) noexcept {
    const double dy = lineY - cy;
    if (a <= 0 || b <= 0 || std::fabs(dy) >= b) return {};
    const double half = a * std::sqrt(1.0 - (dy * dy) / (b * b));
    return {cx - half, cx + half};
}

// Length of [c.left, c.right] inside the pixel [x - 1/2, x + 1/2].
double overlap(const Chord& c, std::int32_t x) noexcept {
    const double lo = std::max(c.left, x - 0.5), hi = std::min(c.right, x + 0.5);
    return hi > lo ? hi - lo : 0.0;
}

void blendPixel(std::uint8_t* px, std::int32_t bpp, const std::uint8_t* colour, std::uint32_t weight) noexcept {
    for (std::int32_t k = 0; k < bpp; ++k) px[k] = std::uint8_t((colour[k] * weight + px[k] * (256 - weight) + 128) >> 8);
}

}  // namespace

std::int32_t DrawEllipseOnImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                std::int32_t stride, std::uint32_t colour, std::int32_t cx, std::int32_t cy,
                                std::int32_t rx, std::int32_t ry, std::int32_t filled, double opacityPercent,
                                std::int32_t /*reserved1*/, std::int32_t /*reserved2*/, std::int32_t subRows) noexcept {
    const std::int32_t bpp = bytesPerPixel;
    if (!pixels || width < 0 || height < 0 || (bpp != 1 && bpp != 3 && bpp != 4) ||
        std::int64_t{stride} < std::int64_t{width} * bpp || rx < 1 || ry < 1)
        return 0;
    const std::uint8_t blue = std::uint8_t(colour), green = std::uint8_t(colour >> 8), red = std::uint8_t(colour >> 16),
                       alpha = std::uint8_t(colour >> 24);
    const std::uint8_t bytes[4] = {bpp == 1 ? blue : red, green, blue, alpha};
    const double opacity = std::clamp(opacityPercent, 0.0, 100.0) / 100.0;
    const std::int32_t lines = std::clamp(subRows, 1, kMaxSubRows);
    const double a = rx + 0.5, b = ry + 0.5;
    auto* base = static_cast<std::uint8_t*>(pixels);

    const std::int32_t y0 = static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{cy} - ry, 0));
    const std::int32_t y1 = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{cy} + ry, height - 1));
    for (std::int32_t y = y0; y <= y1; ++y) {
        Chord outer[kMaxSubRows], inner[kMaxSubRows];
        double spanLeft = cx + a, spanRight = cx - a;        // union of the chords
        double solidLeft = cx - a, solidRight = cx + a;      // common part of the chords
        for (std::int32_t s = 0; s < lines; ++s) {
            const double lineY = y - 0.5 + (s + 0.5) / lines;
            outer[s] = chordAt(cx, cy, a, b, lineY);
            inner[s] = filled ? Chord{} : chordAt(cx, cy, a - 1, b - 1, lineY);
            spanLeft = std::min(spanLeft, outer[s].left);
            spanRight = std::max(spanRight, outer[s].right);
            solidLeft = std::max(solidLeft, outer[s].left);
            solidRight = std::min(solidRight, outer[s].right);
        }
        if (spanLeft > spanRight) continue;
        // Held to the raster (and so to 32 bits) before converting.
        const std::int32_t x0 = static_cast<std::int32_t>(std::clamp(std::floor(spanLeft + 0.5), 0.0, double(width)));
        const std::int32_t x1 = static_cast<std::int32_t>(std::clamp(std::ceil(spanRight - 0.5), -1.0, width - 1.0));
        const std::uint32_t fullWeight = static_cast<std::uint32_t>(opacity * 256.0);
        std::uint8_t* row = base + std::int64_t{y} * stride;
        for (std::int32_t x = x0; x <= x1; ++x) {
            std::uint32_t weight = fullWeight;
            // Pixels wholly inside every chord (filled ellipse) take the full weight directly.
            if (!filled || x - 0.5 < solidLeft || x + 0.5 > solidRight) {
                double covered = 0;
                for (std::int32_t s = 0; s < lines; ++s) covered += overlap(outer[s], x) - overlap(inner[s], x);
                weight = static_cast<std::uint32_t>(covered / lines * opacity * 256.0);
            }
            if (weight) blendPixel(row + std::int64_t{x} * bpp, bpp, bytes, std::min<std::uint32_t>(weight, 256));
        }
    }
    return 1;
}

}  // namespace plr::imaging_lib
