#include "adapters/effects/transforms.h"

#include <cmath>
#include <numbers>

namespace plr::effect_lib {
namespace {

using imaging_lib::InverseMap;
using imaging_lib::SampleEdge;
using imaging_lib::SampleSettings;

constexpr double kTurn = 2.0 * std::numbers::pi;
constexpr double kDegree = std::numbers::pi / 180.0;

// Position p folded into 0..n - 1 (pixel centres) by a transform's edge mode.
double fold(double p, std::int32_t n, std::int32_t mode) noexcept {
    const double last = n - 1;
    switch (mode) {
        case 1: {
            const double r = std::fmod(p, double(n));
            return r < 0 ? r + n : r;
        }
        case 2: return p < 0 ? 0 : p > last ? last : p;
        case 3: {
            if (n == 1) return 0;
            const double period = 2.0 * n;
            double r = std::fmod(p + 0.5, period);
            if (r < 0) r += period;
            return (r < n ? r : period - r) - 0.5;
        }
        default: return p;
    }
}

// (x, y) turned by `radians` about the transform's centre.
void turn(const Transform& t, double radians, double& x, double& y) noexcept {
    const double s = std::sin(radians), c = std::cos(radians), dx = x - t.cx, dy = y - t.cy;
    x = t.cx + dx * c - dy * s;
    y = t.cy + dx * s + dy * c;
}

// (x, y) moved along the ray from the centre to `scale` times its distance.
void scaleFromCentre(const Transform& t, double scale, double& x, double& y) noexcept {
    x = t.cx + (x - t.cx) * scale;
    y = t.cy + (y - t.cy) * scale;
}

// Distance from the centre as a fraction of `radius` (at least 1 outside or
// for a radius below one pixel).
double fractionOf(const Transform& t, double radius, double x, double y) noexcept {
    if (radius < 1) return 1;
    return std::hypot(x - t.cx, y - t.cy) / radius;
}

// -1 .. 1 triangle wave of period 1, 0 at 0.
double triangle(double v) noexcept { return 1.0 - 4.0 * std::fabs(v - std::floor(v + 0.25) - 0.25); }

// A fixed scatter of -1 .. 1 per pixel and coordinate.
double scatter(std::int64_t x, std::int64_t y, std::uint32_t salt) noexcept {
    std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Full ^ salt;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<double>(h >> 11) / double(1ull << 52) - 1.0;
}

using Formula = void (*)(const Transform&, double& x, double& y) noexcept;

// Where destination (x, y) looks before transform t, one formula per kind,
// in the order of TransformKind.
constexpr Formula kFormulas[] = {
    [](const Transform& t, double& x, double& y) noexcept {  // Offset
        x -= t.a;
        y -= t.b;
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Elliptical
        if (t.a < 1 || t.b < 1) return;
        const double r = std::hypot((x - t.cx) / t.a, (y - t.cy) / t.b);
        if (r <= 0 || r >= 1) return;
        scaleFromCentre(t, std::asin(r) * (2.0 / std::numbers::pi) / r, x, y);  // a half sphere seen from above
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Lens
        const double r = fractionOf(t, t.a, x, y);
        if (r < 1) scaleFromCentre(t, 0.5 + 0.5 * r, x, y);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Marble
        const double f = t.a * kTurn / 128.0, x0 = x, y0 = y;
        x += t.b * std::sin(f * y0 + 2.0 * std::sin(0.5 * f * x0));
        y += t.c * std::sin(f * x0 + 2.0 * std::sin(0.5 * f * y0));
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Pinch
        const double r = fractionOf(t, t.a, x, y);
        if (r <= 0 || r >= 1) return;
        const double k = std::fmax(-1.0, std::fmin(1.0, t.b / 100.0));
        scaleFromCentre(t, std::pow(r, -0.5 * k), x, y);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Ripple
        const double d = std::hypot(x - t.cx, y - t.cy);
        if (t.a < 1 || d <= 0) return;
        scaleFromCentre(t, 1.0 + t.b * std::sin(kTurn * (d / t.a + t.c / 100.0)) / d, x, y);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Spin
        const double r = fractionOf(t, t.a, x, y);
        if (r < 1) turn(t, t.b * kDegree * (1 - r) * (1 - r), x, y);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // SpinWave
        const double r = fractionOf(t, t.a, x, y);
        if (r < 1) turn(t, t.b * kDegree * (1 - r) * std::cos(kTurn * t.c / 10.0 * r), x, y);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Wave
        const double period = std::fmax(1.0, t.b), x0 = x;
        x -= t.a * std::sin(kTurn * y / period);
        y -= t.a * std::sin(kTurn * x0 / period);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Wow
        const double d = std::hypot(x - t.cx, y - t.cy);
        if (t.a >= 1) turn(t, 30.0 * kDegree * std::sin(kTurn * d / t.a), x, y);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // ZigZag
        const double period = std::fmax(1.0, t.b), x0 = x;
        x -= t.a * triangle(y / period);
        y -= t.a * triangle(x0 / period);
    },
    [](const Transform& t, double& x, double& y) noexcept {  // Random
        // Whole-pixel steps: frosting picks neighbours, it does not blur them.
        const std::int64_t px = std::llround(x), py = std::llround(y);
        x += std::round(t.a * scatter(px, py, 0x51u));
        y += std::round(t.a * scatter(px, py, 0xA7u));
    },
};

bool finite(double v) noexcept { return std::isfinite(v); }

std::int32_t add(TransformList& list, std::int32_t width, std::int32_t height, TransformKind kind,
                 std::int32_t edgeMode, double a, double b = 0, double c = 0, double cx = 0, double cy = 0) noexcept {
    if (list.count >= TransformList::kCapacity || width < 1 || height < 1) return 0;
    if (!finite(a) || !finite(b) || !finite(c) || !finite(cx) || !finite(cy)) return 0;
    list.items[list.count++] =
        Transform{kind, edgeMode, width, height, a, b, c, (width - 1) / 2.0 + cx / 2.0, (height - 1) / 2.0 + cy / 2.0};
    return 1;
}

void listRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    TransformRow(*static_cast<const TransformList*>(context), y, xs, ys, n);
}

}  // namespace

std::int32_t ClearAllTransforms(TransformList& list) noexcept {
    list.count = 0;
    return 1;
}

std::int32_t AddOffsetTransform(TransformList& list, std::int32_t width, std::int32_t height, double dx, double dy,
                                std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Offset, edgeMode, dx, dy);
}
std::int32_t AddEllipticalTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radiusX,
                                    std::int32_t radiusY, std::int32_t cx, std::int32_t cy,
                                    std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Elliptical, edgeMode, radiusX, radiusY, 0, cx, cy);
}
std::int32_t AddLensTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                              std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::Lens, 0, radius, 0, 0, cx, cy);
}
std::int32_t AddMarbleTransform(TransformList& list, std::int32_t width, std::int32_t height, double scale,
                                double swirlX, double swirlY) noexcept {
    return add(list, width, height, TransformKind::Marble, 0, scale, swirlX, swirlY);
}
std::int32_t AddPinchTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                               std::int32_t amount, std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::Pinch, 0, radius, amount, 0, cx, cy);
}
std::int32_t AddRippleTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t wavelength,
                                std::int32_t amplitude, std::int32_t phase, std::int32_t cx, std::int32_t cy,
                                std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Ripple, edgeMode, wavelength, amplitude, phase, cx, cy);
}
std::int32_t AddSpinTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                              std::int32_t angle, std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::Spin, 0, radius, angle, 0, cx, cy);
}
std::int32_t AddSpinWaveTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                                  std::int32_t angle, std::int32_t waves, std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::SpinWave, 0, radius, angle, waves, cx, cy);
}
std::int32_t AddWaveTransform(TransformList& list, std::int32_t width, std::int32_t height, double amplitude,
                              std::int32_t wavelength, std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Wave, edgeMode, amplitude, wavelength);
}
std::int32_t AddWowTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                             std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Wow, edgeMode, radius);
}
std::int32_t AddZigZagTransform(TransformList& list, std::int32_t width, std::int32_t height, double amplitude,
                                std::int32_t wavelength, std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::ZigZag, edgeMode, amplitude, wavelength);
}
std::int32_t AddRandomTransform(TransformList& list, std::int32_t width, std::int32_t height,
                                std::int32_t amount) noexcept {
    return add(list, width, height, TransformKind::Random, 0, amount);
}

void TransformRow(const TransformList& list, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    for (std::int32_t x = 0; x < n; ++x) {
        double sx = x, sy = y;
        for (int i = list.count - 1; i >= 0; --i) {
            const Transform& t = list.items[i];
            kFormulas[static_cast<int>(t.kind)](t, sx, sy);
            sx = fold(sx, t.width, t.edgeMode);
            sy = fold(sy, t.height, t.edgeMode);
        }
        xs[x] = static_cast<float>(sx);
        ys[x] = static_cast<float>(sy);
    }
}

std::int32_t TransformProcess(const TransformList& list, const void* src, std::int32_t width, std::int32_t height,
                              std::int32_t srcStride, void* dst, std::int32_t dstStride, std::int32_t bytesPerPixel,
                              std::int32_t edgeMode, std::uint32_t fillColour) noexcept {
    if (src == dst || bytesPerPixel != 4 || edgeMode < 0 || edgeMode > 3) return 0;
    SampleSettings settings;
    settings.edge = static_cast<SampleEdge>(edgeMode);
    settings.fill = fillColour;
    return imaging_lib::InverseMapImage(static_cast<const std::uint8_t*>(src), width, height, srcStride,
                                        static_cast<std::uint8_t*>(dst), dstStride, InverseMap{listRow, &list},
                                        settings);
}

}  // namespace plr::effect_lib
