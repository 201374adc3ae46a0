#include "adapters/effects/effect_distort.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

#include "adapters/imaging/inverse_sampler.h"

namespace plr::effect_lib {
namespace {

using imaging_lib::SampleEdge;

constexpr double kTurn = 2.0 * std::numbers::pi;
constexpr double kDegree = std::numbers::pi / 180.0;

struct Geometry {
    std::int32_t w, h;
    const std::int32_t* v;
    double midX, midY;
};

using PointFormula = void (*)(const Geometry&, double& x, double& y);

struct MapContext {
    Geometry g;
    PointFormula formula;
};

void formulaRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    const MapContext& m = *static_cast<const MapContext*>(context);
    for (std::int32_t x = 0; x < n; ++x) {
        double sx = x, sy = y;
        m.formula(m.g, sx, sy);
        xs[x] = static_cast<float>(sx);
        ys[x] = static_cast<float>(sy);
    }
}

// A small fixed hash: -1 .. 1 from two integers and a seed.
double scatter(std::int64_t a, std::int64_t b, std::uint32_t seed) {
    std::uint64_t h = static_cast<std::uint64_t>(a) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(b) * 0xC2B2AE3D27D4EB4Full ^
                      (std::uint64_t{seed} << 32 | 0x2545F491u);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<double>(h >> 11) / double(1ull << 52) - 1.0;
}

void turnAbout(double cx, double cy, double radians, double& x, double& y) {
    const double s = std::sin(radians), c = std::cos(radians), dx = x - cx, dy = y - cy;
    x = cx + dx * c - dy * s;
    y = cy + dx * s + dy * c;
}

void twirl(const Geometry& g, double& x, double& y) {
    const double half = 0.5 * std::hypot(g.w, g.h);
    const double radius = std::max(1.0, (g.v[4] > 0 ? g.v[4] : 100) * 0.01 * half);
    const double r = std::hypot(x - g.midX, y - g.midY) / radius;
    if (r >= 1) return;
    const double angle = g.v[3] * kDegree * std::pow(1 - r, 1 + std::max(0, g.v[5]) / 25.0);
    turnAbout(g.midX, g.midY, g.v[7] == 1 ? -angle : angle, x, y);
}

void sine(const Geometry& g, double& x, double& y) {
    const double x0 = x, y0 = y;
    if (g.v[4] > 0) x += g.v[5] * std::sin(kTurn * (y0 + g.v[8]) / g.v[4]);
    if (g.v[3] > 0) y += g.v[6] * std::sin(kTurn * (x0 + g.v[7]) / g.v[3]);
}

void waves(const Geometry& g, double& x, double& y) {
    if (g.v[3] < 1) return;
    const double a = g.v[6] * kDegree, along = x * std::cos(a) + y * std::sin(a);
    const double shift = 0.1 * g.v[4] * std::sin(kTurn * along / g.v[3]);
    x -= shift * std::sin(a);
    y += shift * std::cos(a);
}

void divider(const Geometry& g, double& x, double& y) {
    const double cols = 1 + std::clamp(g.v[3], 0, 1000) / 10, rows = 1 + std::clamp(g.v[4], 0, 1000) / 10;
    x = std::fmod((x + 0.5) * cols, double(g.w)) - 0.5;
    y = std::fmod((y + 0.5) * rows, double(g.h)) - 0.5;
}

// p folded into one tile of `tile` pixels, mirrored every other tile.
double mirrorInto(double p, double tile) {
    const double r = std::fmod(p + 0.5, 2 * tile);
    return (r < tile ? r : 2 * tile - r) - 0.5;
}

void carpet(const Geometry& g, double& x, double& y) {
    const auto tile = [](std::int32_t v, std::int32_t n) { return v > 0 ? std::max(1.0, std::min(v, 500) / 500.0 * n) : n; };
    x = mirrorInto(x, tile(g.v[3], g.w));
    y = mirrorInto(y, tile(g.v[4], g.h));
}

void voxel(const Geometry& g, double& x, double& y) {
    const double s = std::max(1, g.v[3]);
    x = std::min(std::floor(x / s) * s + (s - 1) / 2, g.w - 1.0);
    y = std::min(std::floor(y / s) * s + (s - 1) / 2, g.h - 1.0);
}

void glass(const Geometry& g, double& x, double& y) {
    const double cell = std::max(2.0, g.v[4] / 10.0), shift = std::max(0, g.v[5]);
    const double bx = std::floor(x / cell), by = std::floor(y / cell);
    const double cx = (bx + 0.5) * cell - 0.5, cy = (by + 0.5) * cell - 0.5;
    const auto seed = static_cast<std::uint32_t>(g.v[3]);
    // Each block a small lens with its own shift.
    x = cx + (x - cx) * 0.75 + shift * scatter(std::int64_t(bx), std::int64_t(by), seed);
    y = cy + (y - cy) * 0.75 + shift * scatter(std::int64_t(by), std::int64_t(bx), seed ^ 0x5bd1e995u);
}

void mirrorWedges(const Geometry& g, double& x, double& y) {
    const int n = std::max(1, g.v[5]);
    if (n == 1) return;
    const double dx = x - g.v[3], dy = y - g.v[4], d = std::hypot(dx, dy);
    const double wedge = kTurn / n;
    double a = std::atan2(dy, dx);
    if (a < 0) a += kTurn;
    const double k = std::floor(a / wedge);
    double f = a - k * wedge;
    if (g.v[6] == 0 && static_cast<long>(k) % 2 == 1) f = wedge - f;
    x = g.v[3] + d * std::cos(f);
    y = g.v[4] + d * std::sin(f);
}

void zoom(const Geometry& g, double& x, double& y) {
    const double mag = std::exp2((std::clamp(g.v[3], -5000, 5000) - 501) / 250.0);
    const double cx = g.midX + g.v[4] * 0.001 * g.w * 0.5, cy = g.midY + g.v[5] * 0.001 * g.h * 0.5;
    x = cx + (x - g.midX) / mag;
    y = cy + (y - g.midY) / mag;
}

void tilt(const Geometry& g, double& x, double& y) {
    const double ay = std::clamp(g.v[3], -1000, 1000) * 0.06 * kDegree;  // about the upright axis
    const double ax = std::clamp(g.v[4], -1000, 1000) * 0.06 * kDegree;  // about the level axis
    const double f = 1.5 * std::max(g.w, g.h);
    // Columns of the turn: the plane's own x and y directions and its normal.
    const double ux[3] = {std::cos(ay), 0, -std::sin(ay)};
    const double uy[3] = {std::sin(ay) * std::sin(ax), std::cos(ax), std::cos(ay) * std::sin(ax)};
    const double n[3] = {std::sin(ay) * std::cos(ax), -std::sin(ax), std::cos(ay) * std::cos(ax)};
    const double ray[3] = {x - g.midX, y - g.midY, f};
    const double den = n[0] * ray[0] + n[1] * ray[1] + n[2] * ray[2];
    if (den <= 1e-9) {  // the ray misses the plane: outside the picture
        x = y = -1e6;
        return;
    }
    const double s = n[2] * f / den;
    const double p[3] = {ray[0] * s, ray[1] * s, ray[2] * s - f};
    x = g.midX + p[0] * ux[0] + p[1] * ux[1] + p[2] * ux[2];
    y = g.midY + p[0] * uy[0] + p[1] * uy[1] + p[2] * uy[2];
}

struct MappedEffect {
    std::int32_t number;
    PointFormula formula;
    // The edge the picture shows beyond itself: a fixed one, or the one the
    // switch parameter picks (wrap when it is 1).
    SampleEdge edge;
    int wrapSwitch;
};

constexpr MappedEffect kMapped[] = {
    {6, twirl, SampleEdge::Nearest, -1},   {13, sine, SampleEdge::Nearest, 9},
    {16, waves, SampleEdge::Nearest, 5},   {17, divider, SampleEdge::Wrap, -1},
    {18, carpet, SampleEdge::Nearest, -1}, {22, voxel, SampleEdge::Nearest, -1},
    {39, glass, SampleEdge::Mirror, -1},   {49, mirrorWedges, SampleEdge::Mirror, -1},
    {50, zoom, SampleEdge::Fill, 7},       {54, tilt, SampleEdge::Fill, -1},
};

bool mapped(const MappedEffect& e, std::uint8_t* bgra, std::int32_t w, std::int32_t h, const std::int32_t* v) {
    const MapContext context{{w, h, v, (w - 1) / 2.0, (h - 1) / 2.0}, e.formula};
    imaging_lib::SampleSettings s;
    s.edge = e.wrapSwitch >= 0 && v[e.wrapSwitch] == 1 ? SampleEdge::Wrap : e.edge;
    s.keepAlpha = true;
    return imaging_lib::InverseMapInPlace(bgra, w, h, w * 4, imaging_lib::InverseMap{formulaRow, &context}, s) != 0;
}

// 52: near the edges the picture shifted by half its size shows through;
// that copy runs on across the edges, so the result tiles.
bool seamless(std::uint8_t* bgra, std::int32_t w, std::int32_t h, const std::int32_t* v) {
    const int band = std::min(v[3], std::min(w, h) / 4);
    if (band < 1) return true;
    // Only the band changes and it reads the middle, which stays: no copy needed.
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const int edge = std::min({x, w - 1 - x, y, h - 1 - y});
            if (edge >= band) continue;
            const std::int32_t ox = (x + w / 2) % w, oy = (y + h / 2) % h;
            std::uint8_t* p = bgra + (std::size_t(y) * w + x) * 4;
            const std::uint8_t* q = bgra + (std::size_t(oy) * w + ox) * 4;
            const int keep = 256 * edge / band;  // 0 at the edge, the picture's own at the band's inner side
            for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * keep + q[c] * (256 - keep) + 128) >> 8);
        }
    return true;
}

// 56: straight scratches of one pixel, lightened (or darkened) colour.
bool scratch(std::uint8_t* bgra, std::int32_t w, std::int32_t h, const std::int32_t* v) {
    const int count = std::clamp(v[4], 0, 10000), length = std::clamp(v[5], 0, 100000);
    const bool dark = v[7] == 1, ownAngles = v[9] == 1;
    std::uint32_t state = static_cast<std::uint32_t>(v[3]) * 2654435761u + 1u;
    auto next = [&] {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return (state >> 8) / double(1u << 24);
    };
    for (int i = 0; i < count; ++i) {
        const double x0 = next() * w, y0 = next() * h;
        const double a = (ownAngles ? next() * 360.0 : v[6]) * kDegree, dx = std::cos(a), dy = std::sin(a);
        for (int s = 0; s < length; ++s) {
            const auto x = static_cast<std::int64_t>(std::floor(x0 + dx * s));
            const auto y = static_cast<std::int64_t>(std::floor(y0 + dy * s));
            if (x < 0 || y < 0 || x >= w || y >= h) break;
            std::uint8_t* p = bgra + (std::size_t(y) * w + std::size_t(x)) * 4;
            for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(dark ? p[c] * 2 / 5 : p[c] + (255 - p[c]) * 3 / 5);
        }
    }
    return true;
}

}  // namespace

bool isDistortion(std::int32_t number) noexcept {
    return number == 52 || number == 56 ||
           std::any_of(std::begin(kMapped), std::end(kMapped), [&](const MappedEffect& e) { return e.number == number; });
}

bool runDistortion(std::int32_t number, std::uint8_t* bgra, std::int32_t width, std::int32_t height,
                   const std::int32_t* values) noexcept {
    if (!bgra || width < 1 || height < 1 || !values) return false;
    if (number == 52) return seamless(bgra, width, height, values);
    if (number == 56) return scratch(bgra, width, height, values);
    for (const MappedEffect& e : kMapped)
        if (e.number == number) return mapped(e, bgra, width, height, values);
    return false;
}

}  // namespace plr::effect_lib
