// The sweep effects: eight passes over the picture, four along rows and four
// along columns, each in the four scan orders. Within a pass a pixel q is
// blended toward its predecessor p when the effect's test passes, and later
// pairs see earlier writes, so a change travels along the pass. The
// coordinate across the pass stops one short of its end, which leaves one
// edge row or column out of every pass and keeps the third pixel r (one step
// across, used by "Anti Alias") inside the picture.
#include <cmath>

#include "brush/effects/effect_params.h"

namespace plr {
namespace {

struct Order {
    int along, across;  // +1: left to right / top to bottom
};
// Left-right top-bottom; right-left bottom-top; right-left top-bottom; left-right bottom-top.
constexpr Order kOrders[4] = {{+1, +1}, {-1, -1}, {-1, +1}, {+1, -1}};

// Calls pair(p, q, r) for every pair of the eight passes, in order.
template <class Pair>
void sweep(EffectParams& e, Pair pair) {
    std::uint8_t* px = e.destination;
    const std::int64_t w = e.width, h = e.height;
    auto at = [&](std::int64_t x, std::int64_t y) { return px + (y * w + x) * 4; };
    for (const Order& o : kOrders) {  // row passes: x along, y across
        const std::int64_t y0 = o.across > 0 ? 0 : h - 1, y1 = o.across > 0 ? h - 1 : 0;
        const std::int64_t x0 = o.along > 0 ? 0 : w - 1, x1 = o.along > 0 ? w - 1 : 0;
        for (std::int64_t y = y0; y != y1; y += o.across)
            for (std::int64_t x = x0; x != x1; x += o.along) pair(at(x, y), at(x + o.along, y), at(x + o.along, y + o.across));
    }
    for (const Order& o : kOrders) {  // column passes: y along, x across
        const std::int64_t x0 = o.along > 0 ? 0 : w - 1, x1 = o.along > 0 ? w - 1 : 0;
        const std::int64_t y0 = o.across > 0 ? 0 : h - 1, y1 = o.across > 0 ? h - 1 : 0;
        // Columns do not depend on each other: walking the pairs row by row
        // gives the same result and reads memory in order.
        for (std::int64_t y = y0; y != y1; y += o.across)
            for (std::int64_t x = x0; x != x1; x += o.along) pair(at(x, y), at(x, y + o.across), at(x + o.along, y + o.across));
    }
}

int grey(const std::uint8_t* p) { return (p[0] + p[1] + p[2]) / 3; }

void blend(std::uint8_t* q, const std::uint8_t* p, double w) {
    for (int c = 0; c < 4; ++c) q[c] = EffectParams::clampByte(w * q[c] + (1.0 - w) * p[c]);
}

}  // namespace

void effectValueBlur(EffectParams& e) {
    e.keepDestination = 1;
    const double darker = e.p[1], lighter = e.p[2];
    sweep(e, [&](const std::uint8_t* p, std::uint8_t* q, const std::uint8_t*) {
        const int gp = grey(p), gq = grey(q);
        const double w = gp > gq ? darker : gp < gq ? lighter : 0.0;
        if (w > 0.0) blend(q, p, w);
    });
}

void effectNoiseReduction(EffectParams& e) {
    e.keepDestination = 1;
    e.p[1] = 1.0 - e.p[1] * 0.5;
    const double w = e.p[1], threshold = e.p[2] * 255.0;
    sweep(e, [&](const std::uint8_t* p, std::uint8_t* q, const std::uint8_t*) {
        if (std::abs(grey(p) - grey(q)) < threshold) blend(q, p, w);
    });
}

void effectNoiseReductionRgb(EffectParams& e) {
    e.keepDestination = 1;
    double w[3], threshold[3];
    for (int c = 0; c < 3; ++c) {
        e.p[1 + 2 * c] = 1.0 - e.p[1 + 2 * c] * 0.5;
        w[c] = e.p[1 + 2 * c];
        threshold[c] = e.p[2 + 2 * c] * 255.0;
    }
    sweep(e, [&](const std::uint8_t* p, std::uint8_t* q, const std::uint8_t*) {
        for (int c = 0; c < 3; ++c)
            if (std::abs(p[c] - q[c]) < threshold[c]) q[c] = EffectParams::clampByte(w[c] * q[c] + (1.0 - w[c]) * p[c]);
    });
}

void effectAntiAlias(EffectParams& e) {
    e.keepDestination = 1;
    const double rise = (1.0 - e.p[3]) * 255.0, fall = (1.0 - e.p[4]) * 255.0;
    const double w1 = e.p[1], w2 = e.p[2];
    sweep(e, [&](const std::uint8_t* p, std::uint8_t* q, const std::uint8_t* r) {
        const int gp = grey(p), gq = grey(q), gr = grey(r);
        if (gp - gq > rise && gr >= gp) blend(q, p, w1);
        else if (gq - gp > fall && gr <= gp) blend(q, p, w2);
    });
}

}  // namespace plr
