#pragma once
// The transform formulas over a whole row of positions, in single precision
// and without per-pixel calls, so that each loop is vector code. Included by
// transform_rows.cpp (the baseline build) and transform_rows_avx2.cpp (the
// same source built for AVX2): everything here has internal linkage, and the
// maths it calls carries a name of its own per build (transform_math.h), so
// neither build ever runs the other's instructions. Contraction stays off in
// both, so the two give the same bits.
//
// Built without errno for the maths functions and without floating-point
// traps, so that square roots are one vector instruction and the selects
// need no branches.
#include <cmath>
#include <cstdint>

#include "adapters/effects/transform_math.h"
#include "adapters/effects/transforms.h"

namespace plr::effect_lib {
namespace {

using fast::cosTurns;
using fast::sinTurns;

// Distances and angles are worked out in T: float where a float's 24 bits
// are plenty, double where they would show (an ellipse's r^2 near its rim,
// a spin wave of many turns, a short wave read far from its centre); the
// sines are single precision either way.
template <class T>
struct Centre {
    T cx, cy;
    explicit Centre(const Transform& t) noexcept : cx(static_cast<T>(t.cx)), cy(static_cast<T>(t.cy)) {}
};

using RowFormula = void (*)(const Transform&, float* xs, float* ys, std::int32_t n) noexcept;

// The radial transforms move each pixel by a factor worked out from its
// offset (dx, dy) from the centre: a scale, or the sine and cosine of a
// turn. The loops below apply a kind's factor to any row of positions, or
// to a row of the pixel grid, where half the factors are mirrored.

// Each pixel at scale(dx, dy) times its distance from the centre (1 outside
// the effect).
template <class T, class Scale>
void scaleRows(const Transform& t, float* xs, float* ys, std::int32_t n, Scale scale) noexcept {
    const Centre<T> c(t);
    for (std::int32_t i = 0; i < n; ++i) {
        const T dx = xs[i] - c.cx, dy = ys[i] - c.cy, k = scale(dx, dy);
        xs[i] = static_cast<float>(c.cx + dx * k);
        ys[i] = static_cast<float>(c.cy + dy * k);
    }
}

// The sine and cosine of a turn by angle(d) turns (0 outside the effect).
template <class T, class Angle>
inline void turnOf(T dx, T dy, Angle angle, float& sine, float& cosine) noexcept {
    const T turns = angle(fast::root(dx * dx + dy * dy));
    // No turn is exactly none (the polynomial's cosine of 0 is a float's step short of 1).
    const bool turned = turns != 0;
    float s, k;
    fast::sinCosTurns(turns, s, k);
    sine = turned ? s : 0.0f;
    cosine = turned ? k : 1.0f;
}

// Each pixel turned about the centre: turn(dx, dy, sine, cosine) gives the
// sine and cosine of its turn.
template <class T, class Turn>
void turnRowsBy(const Transform& t, float* xs, float* ys, std::int32_t n, Turn turn) noexcept {
    const Centre<T> c(t);
    for (std::int32_t i = 0; i < n; ++i) {
        const T dx = xs[i] - c.cx, dy = ys[i] - c.cy;
        float s, k;
        turn(dx, dy, s, k);
        xs[i] = static_cast<float>(c.cx + (dx * T(k) - dy * T(s)));
        ys[i] = static_cast<float>(c.cy + (dx * T(s) + dy * T(k)));
    }
}

template <class T, class Angle>
void turnRows(const Transform& t, float* xs, float* ys, std::int32_t n, Angle angle) noexcept {
    turnRowsBy<T>(t, xs, ys, n, [angle](T dx, T dy, float& s, float& k) noexcept { turnOf<T>(dx, dy, angle, s, k); });
}

// On the pixel grid the pixels x and 2 cx - x of a row lie at the same
// distance from the centre (2 cx is whole for every centre the list makes),
// so their factors are worked out once, on the far side of the centre
// column, and mirrored: pixels lo .. hi - 1 take theirs from twice - x.
struct Mirror {
    std::int32_t lo = 0, hi = 0, twice = 0;
};

inline Mirror mirrorOf(double cx, std::int32_t n) noexcept {
    Mirror m;
    const double twice = 2 * cx;
    if (!(twice >= 0 && twice <= 2.0 * n)) return m;
    m.twice = static_cast<std::int32_t>(twice);
    if (m.twice != twice) return Mirror{};
    m.lo = m.twice - n + 1 > 0 ? m.twice - n + 1 : 0;
    m.hi = (m.twice + 1) / 2 > m.lo ? (m.twice + 1) / 2 : m.lo;
    return m;
}

// Grid row y through a scale: the same bits as the grid's positions through
// scaleRows. The factors wait in xs until the positions replace them.
template <class T, class Scale>
void scaleGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n, Scale scale) noexcept {
    const Centre<T> c(t);
    const T dy = static_cast<float>(y) - c.cy;
    const Mirror m = mirrorOf(t.cx, n);
    auto work = [&](std::int32_t from, std::int32_t to) {
        for (std::int32_t x = from; x < to; ++x) xs[x] = static_cast<float>(scale(static_cast<float>(x) - c.cx, dy));
    };
    work(0, m.lo);
    work(m.hi, n);
    for (std::int32_t x = m.lo; x < m.hi; ++x) xs[x] = xs[m.twice - x];
    for (std::int32_t x = 0; x < n; ++x) {
        const T dx = static_cast<float>(x) - c.cx, k = xs[x];
        xs[x] = static_cast<float>(c.cx + dx * k);
        ys[x] = static_cast<float>(c.cy + dy * k);
    }
}

// Grid row y through a turn, as turnRowsBy would take it; sines wait in xs,
// cosines in ys. turnColumns(from, to, dy, sines, cosines) fills columns
// from .. to - 1.
template <class T, class Work>
void turnGridBy(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n, Work turnColumns) noexcept {
    const Centre<T> c(t);
    const T dy = static_cast<float>(y) - c.cy;
    const Mirror m = mirrorOf(t.cx, n);
    auto work = [&](std::int32_t from, std::int32_t to) { turnColumns(from, to, dy, xs, ys); };
    work(0, m.lo);
    work(m.hi, n);
    for (std::int32_t x = m.lo; x < m.hi; ++x) {
        xs[x] = xs[m.twice - x];
        ys[x] = ys[m.twice - x];
    }
    for (std::int32_t x = 0; x < n; ++x) {
        const T dx = static_cast<float>(x) - c.cx, s = xs[x], k = ys[x];
        xs[x] = static_cast<float>(c.cx + (dx * k - dy * s));
        ys[x] = static_cast<float>(c.cy + (dx * s + dy * k));
    }
}

template <class T, class Angle>
void turnGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n, Angle angle) noexcept {
    const Centre<T> c(t);
    turnGridBy<T>(t, y, xs, ys, n, [&](std::int32_t from, std::int32_t to, T dy, float* sines, float* cosines) {
        for (std::int32_t x = from; x < to; ++x) turnOf<T>(static_cast<float>(x) - c.cx, dy, angle, sines[x], cosines[x]);
    });
}

// The pixel grid's row y.
inline void gridRow(std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    const float row = static_cast<float>(y);
    for (std::int32_t x = 0; x < n; ++x) {
        xs[x] = static_cast<float>(x);
        ys[x] = row;
    }
}

void offsetRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    const float dx = static_cast<float>(t.a), dy = static_cast<float>(t.b);
    for (std::int32_t i = 0; i < n; ++i) {
        xs[i] -= dx;
        ys[i] -= dy;
    }
}

// A half sphere seen from above: asin(r) / r * 2 / pi. r^2 and 1 - r^2 in
// double (the offsets' squares are exact there), the rest in float: the
// sphere's steepness at the rim only multiplies the error of 1 - r^2, which
// the double keeps small.
auto ellipticalScale(const Transform& t) noexcept {
    const double ia2 = 1.0 / (t.a * t.a), ib2 = 1.0 / (t.b * t.b);
    return [=](double dx, double dy) noexcept {
        const double q = dx * dx * ia2 + dy * dy * ib2;
        const bool inside = (q > 0) & (q < 1);
        const float qf = static_cast<float>(q), zf = static_cast<float>(1.0 - q);
        const float k = fast::asinOverFromSquares(inside ? qf : 0.5f, inside ? zf : 0.5f) * 0.636619772367581343f;
        return inside ? double(k) : 1.0;
    };
}
bool ellipticalActive(const Transform& t) noexcept { return t.a >= 1 && t.b >= 1; }

auto lensScale(const Transform& t) noexcept {
    const float inverse = static_cast<float>(1.0 / t.a);
    return [inverse](float dx, float dy) noexcept {
        const float r = fast::root(dx * dx + dy * dy) * inverse;
        return r < 1 ? 0.5f + 0.5f * r : 1.0f;
    };
}
bool radiusActive(const Transform& t) noexcept { return t.a >= 1; }

void marbleRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    // sin(f y + 2 sin(f x / 2)) with f = scale turns per 128 pixels.
    const double f = t.a / 128.0, half = 0.5 * f, b = t.b, k = t.c;
    constexpr double kRadianTurns = 0.318309886183790672;  // 2 radians in turns
    for (std::int32_t i = 0; i < n; ++i) {
        const double x0 = xs[i], y0 = ys[i];
        xs[i] = static_cast<float>(x0 + b * sinTurns(f * y0 + kRadianTurns * sinTurns(half * x0)));
        ys[i] = static_cast<float>(y0 + k * sinTurns(f * x0 + kRadianTurns * sinTurns(half * y0)));
    }
}

auto pinchScale(const Transform& t) noexcept {
    const float inverse2 = static_cast<float>(1.0 / (t.a * t.a));
    // r^(-k/2) = 2^(-k/4 log2 r^2): no square root needed.
    const double amount = t.b / 100.0;
    const float power = static_cast<float>(-0.25 * (amount < -1 ? -1.0 : amount > 1 ? 1.0 : amount));
    return [=](float dx, float dy) noexcept {
        const float r2 = (dx * dx + dy * dy) * inverse2;
        const bool inside = (r2 > 0) & (r2 < 1);
        return inside ? fast::exp2Of(power * fast::log2Of(inside ? r2 : 0.5f)) : 1.0f;
    };
}

// Ripple and Wow take the phase d / a of a wave: a float holds it to a
// few parts in 2^24 of itself, which a short wave far from the centre turns
// into a visible error. Each uses float where that error stays below
// 1/512 pixel across the picture, double (T) otherwise; the limits are the
// errors measured in float with a margin of about two.
double farthestCorner(const Transform& t) noexcept {
    const double fx = t.cx > (t.width - 1) * 0.5 ? t.cx : t.width - 1 - t.cx;
    const double fy = t.cy > (t.height - 1) * 0.5 ? t.cy : t.height - 1 - t.cy;
    return fast::root(fx * fx + fy * fy);
}

bool rippleInFloat(const Transform& t) noexcept {
    return t.a >= 1 && (t.b < 0 ? -t.b : t.b) * farthestCorner(t) / t.a <= 2750;
}

template <class T>
auto rippleScale(const Transform& t) noexcept {
    const T inverse = static_cast<T>(1.0 / t.a), amplitude = static_cast<T>(t.b), phase = static_cast<T>(t.c / 100.0);
    return [=](T dx, T dy) noexcept {
        const T d = fast::root(dx * dx + dy * dy);
        return d > 0 ? T(1) + amplitude * T(sinTurns(d * inverse + phase)) / (d > 0 ? d : T(1)) : T(1);
    };
}

auto spinAngle(const Transform& t) noexcept {
    const float turns = static_cast<float>(t.b / 360.0), inverse = static_cast<float>(1.0 / t.a);
    return [=](float d) noexcept {
        const float r = d * inverse;
        return r < 1 ? turns * (1 - r) * (1 - r) : 0.0f;
    };
}

auto spinWaveAngle(const Transform& t) noexcept {
    const double turns = t.b / 360.0, waves = t.c / 10.0, inverse = 1.0 / t.a;
    return [=](double d) noexcept {
        const double r = d * inverse;
        return r < 1 ? turns * (1 - r) * cosTurns(waves * r) : 0.0;
    };
}

// The spin wave in float. Its angle turns (1 - r) cos(waves r) hangs on r
// far more steeply than a float r holds it (a few steps of a float's 24
// bits already move the rim by a hundredth of a pixel), so r is split: a
// base, worked out in double for a run of offsets |dx| of kSpinWaveRun
// pixels, and the small step from it to the pixel, which float holds to
// its own few parts in 2^24. The step needs no square root of its own:
// d - d0 = (d^2 - d0^2) / (d + d0), where d^2 - d0^2 is exact on the grid.
// The base depends on |dx| and dy only, so mirrored columns still agree.
constexpr float kSpinWaveRun = 64.0f;

struct SpinWaveFloat {
    double inverse, waves, cx, cy;
    float inverseF, wavesF, turnsF, cxF;
    explicit SpinWaveFloat(const Transform& t) noexcept
        : inverse(1.0 / t.a), waves(t.c / 10.0), cx(t.cx), cy(t.cy), inverseF(static_cast<float>(1.0 / t.a)),
          wavesF(static_cast<float>(t.c / 10.0)), turnsF(static_cast<float>(t.b / 360.0)),
          cxF(static_cast<float>(t.cx)) {}
};

// What a run shares: its offset base a0 (the middle of its |dx| run), the
// phase of cos(waves r0) as a sine's (a quarter turn on, whole turns off),
// 1 - r0, and d0, d0^2 and 2 a0 for the steps.
struct SpinWaveBase {
    float phase, outside, d0, d0Squared, twiceA0, a0;
};

// The run that offset |dx| = a belongs to: whole runs of kSpinWaveRun from 0.
inline float spinWaveRunOf(float a) noexcept { return fast::floorOf(a * (1.0f / kSpinWaveRun)); }

inline SpinWaveBase spinWaveBase(const SpinWaveFloat& p, float run, double dySquared) noexcept {
    const float a0 = run * kSpinWaveRun + 0.5f * kSpinWaveRun;
    const double q0 = double(a0) * double(a0) + dySquared, d0 = fast::root(q0), r0 = d0 * p.inverse;
    // |phase| < 2^51 for any r0 a picture reaches; beyond the rim it is unused.
    constexpr double kMagic = 6755399441055744.0;  // 1.5 * 2^52
    const double phase = p.waves * r0 + 0.25, whole = (phase + kMagic) - kMagic;
    return {static_cast<float>(phase - whole), static_cast<float>(1.0 - r0), static_cast<float>(d0),
            static_cast<float>(q0), 2.0f * a0, a0};
}

// Sine and cosine of the turn at offset |dx| = a of the base's run.
inline void spinWaveTurn(const SpinWaveFloat& p, const SpinWaveBase& b, float a, float& sine, float& cosine) noexcept {
    const float k = a - b.a0, dq = k * (b.twiceA0 + k);  // d^2 - d0^2
    const float q = b.d0Squared + dq, d = fast::root(q > 0 ? q : 0.0f);
    const float sum = d + b.d0;  // d0 >= kSpinWaveRun / 2
    const float dr = dq / (sum > 1.0f ? sum : 1.0f) * p.inverseF;
    const float outside = b.outside - dr;  // 1 - r
    const float turns = outside > 0 ? p.turnsF * outside * fast::sinTurns(b.phase + p.wavesF * dr) : 0.0f;
    const bool turned = turns != 0;
    float s, c;
    fast::sinCosTurns(turns, s, c);
    sine = turned ? s : 0.0f;
    cosine = turned ? c : 1.0f;
}

// Whether float holds the spin wave within 1/512 pixel: the float angle
// loses a few parts in 2^24 of itself and of its cosine (at most a quarter
// of turns at the distance it moves a pixel), the sines a few 1e-7, and the
// steps a few parts in 2^24 of up to half a run, stretched by the angle's
// slope in r; the limits are the errors measured in float with a margin of
// about two.
bool spinWaveInFloat(const Transform& t) noexcept {
    const double turns = (t.b < 0 ? -t.b : t.b) / 360.0, waves = (t.c < 0 ? -t.c : t.c) / 10.0;
    const double far = farthestCorner(t), reach = far < t.a ? far : t.a;
    constexpr double kTurn = 6.28318530717958648;
    const double error = reach * (kTurn * turns * 2e-7 + 3e-7) +
                         kTurn * turns * (1 + kTurn * waves) * (0.5 * kSpinWaveRun) * 3e-7;
    return t.a >= 1 && error <= 1.0 / 512;
}

void spinWaveFloatRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    const SpinWaveFloat p(t);
    turnRowsBy<float>(t, xs, ys, n, [&p](float dx, float dy, float& s, float& k) noexcept {
        const float a = dx < 0 ? -dx : dx;
        spinWaveTurn(p, spinWaveBase(p, spinWaveRunOf(a), double(dy) * double(dy)), a, s, k);
    });
}

// On the grid each run's base is worked out once: the columns from x on
// whose |x - cx| falls in the same run end at the run's far edge on their
// side of the centre (the run about the centre spans both sides).
void spinWaveFloatGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    const SpinWaveFloat p(t);
    turnGridBy<float>(t, y, xs, ys, n, [&p](std::int32_t from, std::int32_t to, float dy, float* sines, float* cosines) {
        const double dySquared = double(dy) * double(dy);
        for (std::int32_t x = from; x < to;) {
            const float dx = static_cast<float>(x) - p.cxF, a = dx < 0 ? -dx : dx, run = spinWaveRunOf(a);
            const double edge = dx >= 0 || run == 0 ? std::ceil(p.cx + (double(run) + 1) * kSpinWaveRun)
                                                    : std::floor(p.cx - double(run) * kSpinWaveRun) + 1;
            const std::int32_t end = edge < to ? (edge > x ? static_cast<std::int32_t>(edge) : x + 1) : to;
            const SpinWaveBase b = spinWaveBase(p, run, dySquared);
            if (b.outside < -kSpinWaveRun * p.inverseF) {
                // The whole run lies beyond the rim: its steps from r0 stay
                // below half a run over the radius, so no pixel turns.
                for (std::int32_t i = x; i < end; ++i) {
                    sines[i] = 0.0f;
                    cosines[i] = 1.0f;
                }
            } else {
                for (std::int32_t i = x; i < end; ++i) {
                    const float di = static_cast<float>(i) - p.cxF;
                    spinWaveTurn(p, b, di < 0 ? -di : di, sines[i], cosines[i]);
                }
            }
            x = end;
        }
    });
}

bool wowInFloat(const Transform& t) noexcept {
    const double far = farthestCorner(t);
    return far * far / t.a <= 7500;
}

template <class T>
auto wowAngle(const Transform& t) noexcept {
    const T inverse = static_cast<T>(1.0 / t.a);
    return [=](T d) noexcept { return T(1.0f / 12) * T(sinTurns(d * inverse)); };  // up to 30 degrees
}

// Each radial kind over any row and over a grid row: T is the precision of
// its offsets, Make its factor, Active whether its values do anything.
template <class T, auto Make, bool (*Active)(const Transform&) noexcept>
void scaleKindRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    if (Active(t)) scaleRows<T>(t, xs, ys, n, Make(t));
}
template <class T, auto Make, bool (*Active)(const Transform&) noexcept>
void scaleKindGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    if (Active(t)) return scaleGrid<T>(t, y, xs, ys, n, Make(t));
    gridRow(y, xs, ys, n);
}
template <class T, auto Make>
void turnKindRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    if (radiusActive(t)) turnRows<T>(t, xs, ys, n, Make(t));
}
template <class T, auto Make>
void turnKindGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    if (radiusActive(t)) return turnGrid<T>(t, y, xs, ys, n, Make(t));
    gridRow(y, xs, ys, n);
}

// Ripple and Wow in the precision their values need.
void rippleRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    if (rippleInFloat(t)) return scaleKindRow<float, rippleScale<float>, radiusActive>(t, xs, ys, n);
    scaleKindRow<double, rippleScale<double>, radiusActive>(t, xs, ys, n);
}
void rippleGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    if (rippleInFloat(t)) return scaleKindGrid<float, rippleScale<float>, radiusActive>(t, y, xs, ys, n);
    scaleKindGrid<double, rippleScale<double>, radiusActive>(t, y, xs, ys, n);
}
void wowRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    if (t.a >= 1 && wowInFloat(t)) return turnKindRow<float, wowAngle<float>>(t, xs, ys, n);
    turnKindRow<double, wowAngle<double>>(t, xs, ys, n);
}
void wowGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    if (t.a >= 1 && wowInFloat(t)) return turnKindGrid<float, wowAngle<float>>(t, y, xs, ys, n);
    turnKindGrid<double, wowAngle<double>>(t, y, xs, ys, n);
}

void spinWaveRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    if (spinWaveInFloat(t)) return spinWaveFloatRow(t, xs, ys, n);
    turnKindRow<double, spinWaveAngle>(t, xs, ys, n);
}
void spinWaveGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    if (spinWaveInFloat(t)) return spinWaveFloatGrid(t, y, xs, ys, n);
    turnKindGrid<double, spinWaveAngle>(t, y, xs, ys, n);
}

// Rows and columns shifted along a wave of period 1 (sine or triangle), a
// = amplitude, b = wavelength.
template <float (*Shape)(float) noexcept>
void waveRows(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    const float inverse = static_cast<float>(1.0 / (t.b > 1 ? t.b : 1.0)), a = static_cast<float>(t.a);
    for (std::int32_t i = 0; i < n; ++i) {
        const float x0 = xs[i], y0 = ys[i];
        xs[i] = x0 - a * Shape(y0 * inverse);
        ys[i] = y0 - a * Shape(x0 * inverse);
    }
}

void waveRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    waveRows<static_cast<float (*)(float) noexcept>(sinTurns)>(t, xs, ys, n);
}

// -1 .. 1 triangle wave of period 1, 0 at 0: 4 |v + 1/4 - nearest whole| - 1.
inline float triangle(float v) noexcept {
    const float w = v + 0.25f, r = w - fast::roundNear(w);
    return 4.0f * (r < 0 ? -r : r) - 1.0f;
}

void zigZagRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept { waveRows<triangle>(t, xs, ys, n); }

// llround for a float, held to +-2^30 first (NaN to -2^30): from there on
// every float is whole and no picture is that large.
inline std::int32_t nearestWhole(float v) noexcept {
    constexpr float kLimit = 1073741824.0f;
    v = v >= -kLimit ? (v <= kLimit ? v : kLimit) : -kLimit;
    const std::int32_t whole = static_cast<std::int32_t>(v);  // toward zero
    const float part = v - static_cast<float>(whole);         // exact
    return whole + (part >= 0.5f ? 1 : 0) - (part <= -0.5f ? 1 : 0);
}

// round() for |v| < 2^31.
inline double nearestWhole(double v) noexcept {
    const double whole = static_cast<double>(static_cast<std::int32_t>(v));  // toward zero
    const double part = v - whole;
    return whole + (part >= 0.5 ? 1.0 : 0.0) - (part <= -0.5 ? 1.0 : 0.0);
}

void randomRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    // Whole-pixel steps: frosting picks neighbours, it does not blur them.
    // The scatter is within -1 .. 1, so the steps stay below 2^31 (an amount
    // of -2^31 is taken a step short).
    const double amount = t.a > -2147483647.0 ? t.a : -2147483647.0;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int64_t px = nearestWhole(xs[i]), py = nearestWhole(ys[i]);
        xs[i] = static_cast<float>(double(xs[i]) + nearestWhole(amount * fast::scatter(px, py, 0x51u)));
        ys[i] = static_cast<float>(double(ys[i]) + nearestWhole(amount * fast::scatter(px, py, 0xA7u)));
    }
}

// On the grid every pixel is its own nearest: the scatter key's row term is
// worked out once and its column term steps along the row.
void randomGrid(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    const double amount = t.a > -2147483647.0 ? t.a : -2147483647.0, row = y;
    const std::uint64_t rowKey = static_cast<std::uint64_t>(std::int64_t{y}) * fast::kScatterRow;
    std::uint64_t columnKey = 0;
    for (std::int32_t x = 0; x < n; ++x, columnKey += fast::kScatterColumn) {
        const std::uint64_t key = columnKey ^ rowKey;
        const double sx = fast::scatterValue(fast::scatterBitsOfKey(key ^ 0x51u));
        const double sy = fast::scatterValue(fast::scatterBitsOfKey(key ^ 0xA7u));
        xs[x] = static_cast<float>(double(x) + nearestWhole(amount * sx));
        ys[x] = static_cast<float>(row + nearestWhole(amount * sy));
    }
}

// Each kind over any row and over a row of the pixel grid (the radial kinds
// and Random; null: the grid is mapped as any row), in the order of
// TransformKind.
using GridFormula = void (*)(const Transform&, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept;
struct KindFormulas {
    RowFormula row;
    GridFormula grid;
};
constexpr KindFormulas kFormulas[] = {
    {offsetRow, nullptr},
    {scaleKindRow<double, ellipticalScale, ellipticalActive>, scaleKindGrid<double, ellipticalScale, ellipticalActive>},
    {scaleKindRow<float, lensScale, radiusActive>, scaleKindGrid<float, lensScale, radiusActive>},
    {marbleRow, nullptr},
    {scaleKindRow<float, pinchScale, radiusActive>, scaleKindGrid<float, pinchScale, radiusActive>},
    {rippleRow, rippleGrid},
    {turnKindRow<float, spinAngle>, turnKindGrid<float, spinAngle>},
    {spinWaveRow, spinWaveGrid},
    {waveRow, nullptr},
    {wowRow, wowGrid},
    {zigZagRow, nullptr},
    {randomRow, randomGrid},
};

// p folded into 0 .. n (exclusive) for n >= 1.
inline float wrapInto(float p, float n, float inverse) noexcept {
    float r = p - fast::floorOf(p * inverse) * n;
    r = r >= n ? r - n : r;
    return r < 0 ? r + n : r;
}

// Positions folded into 0 .. n - 1 (pixel centres) by the edge mode: 1
// wraps, 2 clamps, 3 mirrors; any other mode leaves them.
void foldRow(float* p, std::int32_t count, std::int32_t n, std::int32_t mode) noexcept {
    const float size = static_cast<float>(n), last = size - 1, inverse = static_cast<float>(1.0 / n);
    switch (mode) {
        case 1:
            for (std::int32_t i = 0; i < count; ++i) p[i] = wrapInto(p[i], size, inverse);
            return;
        case 2:
            for (std::int32_t i = 0; i < count; ++i) p[i] = p[i] < 0 ? 0 : p[i] > last ? last : p[i];
            return;
        case 3: {
            const float period = 2 * size, inversePeriod = static_cast<float>(0.5 / n);
            for (std::int32_t i = 0; i < count; ++i) {
                const float r = wrapInto(p[i] + 0.5f, period, inversePeriod);
                p[i] = n == 1 ? 0.0f : (r < size ? r : period - r) - 0.5f;
            }
            return;
        }
        default: return;
    }
}

void applyRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    kFormulas[static_cast<int>(t.kind)].row(t, xs, ys, n);
    foldRow(xs, n, t.width, t.edgeMode);
    foldRow(ys, n, t.height, t.edgeMode);
}

// Row y of the pixel grid through t.
void applyGridRow(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    const KindFormulas& formulas = kFormulas[static_cast<int>(t.kind)];
    if (formulas.grid) {
        formulas.grid(t, y, xs, ys, n);
    } else {
        gridRow(y, xs, ys, n);
        formulas.row(t, xs, ys, n);
    }
    foldRow(xs, n, t.width, t.edgeMode);
    foldRow(ys, n, t.height, t.edgeMode);
}

// Marble on the pixel grid (marbleColumns, marbleGridRow): x' = x + b
// sin(f y + 2 sin(f x / 2)), y' = y + c sin(f x + 2 sin(f y / 2)) (in turns
// as marbleRow), from column tables of the sin and cos of 2 sin(f x / 2)
// and of f x.
void marbleGrid(const Transform& t, std::int32_t y, const float* tables, float* xs, float* ys,
                std::int32_t n) noexcept {
    const double f = t.a / 128.0, half = 0.5 * f;
    constexpr double kRadianTurns = 0.318309886183790672;
    const double a = f * y, q = kRadianTurns * sinTurns(half * y);
    const float sinA = sinTurns(a), cosA = cosTurns(a), sinQ = sinTurns(q), cosQ = cosTurns(q);
    const float b = static_cast<float>(t.b), c = static_cast<float>(t.c), row = static_cast<float>(y);
    const float* sinB = tables;
    const float* cosB = tables + n;
    const float* sinP = tables + 2 * std::size_t(n);
    const float* cosP = tables + 3 * std::size_t(n);
    for (std::int32_t x = 0; x < n; ++x) {
        xs[x] = static_cast<float>(x) + b * (sinA * cosB[x] + cosA * sinB[x]);
        ys[x] = row + c * (sinP[x] * cosQ + cosP[x] * sinQ);
    }
    foldRow(xs, n, t.width, t.edgeMode);
    foldRow(ys, n, t.height, t.edgeMode);
}

}  // namespace
}  // namespace plr::effect_lib
