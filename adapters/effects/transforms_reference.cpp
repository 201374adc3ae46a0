#include "adapters/effects/transforms_reference.h"

#include <cmath>
#include <numbers>

#include "adapters/effects/transform_math.h"

namespace plr::reference {
namespace {

using effect_lib::Transform;
namespace fast = effect_lib::fast;

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
        x += std::round(t.a * fast::scatter(px, py, 0x51u));
        y += std::round(t.a * fast::scatter(px, py, 0xA7u));
    },
};

}  // namespace

void transformRow(const effect_lib::TransformList& list, std::int32_t y, double* xs, double* ys,
                  std::int32_t n) noexcept {
    for (std::int32_t x = 0; x < n; ++x) {
        double sx = x, sy = y;
        for (int i = list.count - 1; i >= 0; --i) {
            const Transform& t = list.items[i];
            kFormulas[static_cast<int>(t.kind)](t, sx, sy);
            sx = fold(sx, t.width, t.edgeMode);
            sy = fold(sy, t.height, t.edgeMode);
        }
        xs[x] = sx;
        ys[x] = sy;
    }
}

}  // namespace plr::reference
