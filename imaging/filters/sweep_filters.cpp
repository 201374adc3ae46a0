// The sweep effects: eight passes over the picture, four along rows and four
// along columns, each in the four scan orders. Within a pass a pixel q is
// blended toward its predecessor p when the effect's test passes, and later
// pairs see earlier writes, so a change travels along the pass. The
// coordinate across the pass stops one short of its end, which leaves one
// edge row or column out of every pass and keeps the third pixel r (one step
// across, used by "Anti Alias") inside the picture.
//
// The fast path differs from the reference only in how it computes: the
// blend q <- trunc(w q + (1 - w) p) of one weight takes 65536 byte pairs, so
// it is tabulated once per run with the reference arithmetic; the loops walk
// rows with pointers and carry p's grey along a row pass.
#include "imaging/filters/sweep_filters.h"

#include <cmath>

#include "imaging/filters/effect_params.h"

namespace plr {
namespace {

struct Order {
    int along, across;  // horizontal and vertical direction: +1 left to right / top to bottom
};
// Left-right top-bottom; right-left bottom-top; right-left top-bottom; left-right bottom-top.
constexpr Order kOrders[4] = {{+1, +1}, {-1, -1}, {-1, +1}, {+1, -1}};

int grey(const std::uint8_t* p) { return (p[0] + p[1] + p[2]) / 3; }

std::uint8_t mix(double w, int q, int p) { return EffectParams::clampByte(w * q + (1.0 - w) * p); }

// What one effect does with a pair: the weights and thresholds it reads.
struct Rule {
    SweepKind kind;
    double w[3];          // Value Blur: darker, lighter; Anti Alias: P1, P2; NR: w; NR RGB: per channel
    double threshold[3];  // NR: grey; NR RGB: per channel; Anti Alias: rise, fall

    // Which weight applies to the pair (index into w), or -1 to leave it.
    int choose(int gp, int gq, int gr) const { return chooseFor(kind, gp, gq, gr); }
    int chooseFor(SweepKind k, int gp, int gq, int gr) const {
        switch (k) {
            case SweepKind::ValueBlur: {
                const int k = gp > gq ? 0 : gp < gq ? 1 : -1;
                return k >= 0 && w[k] > 0.0 ? k : -1;
            }
            case SweepKind::NoiseReduction: return std::abs(gp - gq) < threshold[0] ? 0 : -1;
            case SweepKind::AntiAlias:
                if (gp - gq > threshold[0] && gr >= gp) return 0;
                if (gq - gp > threshold[1] && gr <= gp) return 1;
                return -1;
            case SweepKind::NoiseReductionRgb: return -1;
        }
        return -1;
    }
};

Rule makeRule(EffectParams& e, SweepKind kind) {
    e.keepDestination = 1;
    Rule r{kind, {}, {}};
    switch (kind) {
        case SweepKind::ValueBlur:
            r.w[0] = e.p[1];
            r.w[1] = e.p[2];
            break;
        case SweepKind::NoiseReduction:
            e.p[1] = 1.0 - e.p[1] * 0.5;
            r.w[0] = e.p[1];
            r.threshold[0] = e.p[2] * 255.0;
            break;
        case SweepKind::NoiseReductionRgb:
            for (int c = 0; c < 3; ++c) {
                e.p[1 + 2 * c] = 1.0 - e.p[1 + 2 * c] * 0.5;
                r.w[c] = e.p[1 + 2 * c];
                r.threshold[c] = e.p[2 + 2 * c] * 255.0;
            }
            break;
        case SweepKind::AntiAlias:
            r.w[0] = e.p[1];
            r.w[1] = e.p[2];
            r.threshold[0] = (1.0 - e.p[3]) * 255.0;
            r.threshold[1] = (1.0 - e.p[4]) * 255.0;
            break;
    }
    return r;
}

// ---- reference: every pair through the rule; row passes, then column passes,
// each in the four scan orders ----

void referencePair(const Rule& rule, const std::uint8_t* p, std::uint8_t* q, const std::uint8_t* r) {
    if (rule.kind == SweepKind::NoiseReductionRgb) {
        for (int c = 0; c < 3; ++c)
            if (std::abs(p[c] - q[c]) < rule.threshold[c]) q[c] = mix(rule.w[c], q[c], p[c]);
        return;
    }
    const int k = rule.choose(grey(p), grey(q), grey(r));
    if (k < 0) return;
    for (int c = 0; c < 4; ++c) q[c] = mix(rule.w[k], q[c], p[c]);
}

void referenceSweep(EffectParams& e, const Rule& rule) {
    std::uint8_t* px = e.destination;
    const std::int64_t w = e.width, h = e.height;
    auto at = [&](std::int64_t x, std::int64_t y) { return px + (y * w + x) * 4; };
    for (const Order& o : kOrders) {  // row passes: rows across, pairs along x
        const std::int64_t y0 = o.across > 0 ? 0 : h - 1, y1 = o.across > 0 ? h - 1 : 0;
        const std::int64_t x0 = o.along > 0 ? 0 : w - 1, x1 = o.along > 0 ? w - 1 : 0;
        for (std::int64_t y = y0; y != y1; y += o.across)
            for (std::int64_t x = x0; x != x1; x += o.along)
                referencePair(rule, at(x, y), at(x + o.along, y), at(x + o.along, y + o.across));
    }
    for (const Order& o : kOrders) {  // column passes: columns across, pairs along y
        const std::int64_t x0 = o.along > 0 ? 0 : w - 1, x1 = o.along > 0 ? w - 1 : 0;
        const std::int64_t y0 = o.across > 0 ? 0 : h - 1, y1 = o.across > 0 ? h - 1 : 0;
        for (std::int64_t x = x0; x != x1; x += o.along)
            for (std::int64_t y = y0; y != y1; y += o.across)
                referencePair(rule, at(x, y), at(x, y + o.across), at(x + o.along, y + o.across));
    }
}

// ---- fast path ----

// blend[k][q * 256 + p] = trunc(w_k q + (1 - w_k) p), clamped: the reference
// arithmetic, evaluated once per byte pair.
void buildBlendTables(const Rule& rule, SweepTables& tables) {
    for (int k = 0; k < 3; ++k)
        for (int q = 0; q < 256; ++q)
            for (int p = 0; p < 256; ++p) tables.blend[k][q * 256 + p] = mix(rule.w[k], q, p);
}

// One pair of the grey-tested effects; returns q's grey after the pair.
template <SweepKind K>
inline int fastPair(const Rule& rule, const SweepTables& tables, const std::uint8_t* p, std::uint8_t* q,
                    const std::uint8_t* r, int gp) {
    const int gq = grey(q);
    const int k = rule.chooseFor(K, gp, gq, K == SweepKind::AntiAlias ? grey(r) : 0);
    if (k < 0) return gq;
    const std::uint8_t* t = tables.blend[k];
    q[0] = t[q[0] * 256 + p[0]];
    q[1] = t[q[1] * 256 + p[1]];
    q[2] = t[q[2] * 256 + p[2]];
    q[3] = t[q[3] * 256 + p[3]];
    return grey(q);
}

inline void fastPairRgb(const Rule& rule, const SweepTables& tables, const std::uint8_t* p, std::uint8_t* q) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(p[c] - q[c]) < rule.threshold[c]) q[c] = tables.blend[c][q[c] * 256 + p[c]];
}

template <SweepKind K>
void fastSweep(EffectParams& e, const Rule& rule, const SweepTables& tables) {
    constexpr bool rgb = K == SweepKind::NoiseReductionRgb;
    std::uint8_t* px = e.destination;
    const std::int64_t w = e.width, h = e.height, stride = w * 4;
    for (const Order& o : kOrders) {  // row passes
        const std::int64_t y0 = o.across > 0 ? 0 : h - 1, y1 = o.across > 0 ? h - 1 : 0;
        const std::int64_t x0 = o.along > 0 ? 0 : w - 1, steps = w - 1;
        const std::int64_t step = 4 * o.along, down = o.across * stride;
        // Rows do not depend on each other, so kGroup of them advance side by
        // side (which hides the chain along each row). Within a step the rows
        // go in the across direction, so the third pixel r, in the next row,
        // is read before that row's pair writes it, as in the reference.
        constexpr int kGroup = 4;
        const std::int64_t rows = (y1 - y0) * o.across;
        std::int64_t done = 0;
        for (; done + kGroup <= rows; done += kGroup) {
            std::uint8_t* p[kGroup];
            int gp[kGroup];
            for (int g = 0; g < kGroup; ++g) {
                p[g] = px + (y0 + (done + g) * o.across) * stride + x0 * 4;
                gp[g] = grey(p[g]);
            }
            for (std::int64_t i = 0; i < steps; ++i)
                for (int g = 0; g < kGroup; ++g) {
                    if constexpr (rgb) fastPairRgb(rule, tables, p[g], p[g] + step);
                    else gp[g] = fastPair<K>(rule, tables, p[g], p[g] + step, p[g] + step + down, gp[g]);
                    p[g] += step;
                }
        }
        for (; done < rows; ++done) {
            std::uint8_t* p = px + (y0 + done * o.across) * stride + x0 * 4;
            int gp = grey(p);
            for (std::int64_t i = 0; i < steps; ++i, p += step) {
                if constexpr (rgb) fastPairRgb(rule, tables, p, p + step);
                else gp = fastPair<K>(rule, tables, p, p + step, p + step + down, gp);
            }
        }
    }
    for (const Order& o : kOrders) {  // column passes, walked row by row
        const std::int64_t y0 = o.across > 0 ? 0 : h - 1, y1 = o.across > 0 ? h - 1 : 0;
        const std::int64_t x0 = o.along > 0 ? 0 : w - 1, steps = w - 1;
        const std::int64_t step = 4 * o.along, down = o.across * stride;
        // Columns are independent and r (one column further in this row)
        // is only written after it is read, so this order gives the
        // reference's result.
        for (std::int64_t y = y0; y != y1; y += o.across) {
            std::uint8_t* p = px + y * stride + x0 * 4;
            for (std::int64_t i = 0; i < steps; ++i, p += step) {
                if constexpr (rgb) fastPairRgb(rule, tables, p, p + down);
                else fastPair<K>(rule, tables, p, p + down, p + down + step, grey(p));
            }
        }
    }
}

}  // namespace

void runSweep(EffectParams& e, SweepKind kind, SweepTables* fastTables) {
    const Rule rule = makeRule(e, kind);
    if (e.width < 1 || e.height < 1 || !e.destination) return;
    if (!fastTables) {
        referenceSweep(e, rule);
        return;
    }
    SweepTables& tables = *fastTables;
    buildBlendTables(rule, tables);
    switch (kind) {
        case SweepKind::ValueBlur: fastSweep<SweepKind::ValueBlur>(e, rule, tables); break;
        case SweepKind::NoiseReduction: fastSweep<SweepKind::NoiseReduction>(e, rule, tables); break;
        case SweepKind::NoiseReductionRgb: fastSweep<SweepKind::NoiseReductionRgb>(e, rule, tables); break;
        case SweepKind::AntiAlias: fastSweep<SweepKind::AntiAlias>(e, rule, tables); break;
    }
}

// The run's tables (the dispatcher always gives them); a block filled without
// them takes the reference rule, which gives the same bytes.
void effectValueBlur(EffectParams& e) { runSweep(e, SweepKind::ValueBlur, e.sweepTables); }
void effectNoiseReduction(EffectParams& e) { runSweep(e, SweepKind::NoiseReduction, e.sweepTables); }
void effectNoiseReductionRgb(EffectParams& e) { runSweep(e, SweepKind::NoiseReductionRgb, e.sweepTables); }
void effectAntiAlias(EffectParams& e) { runSweep(e, SweepKind::AntiAlias, e.sweepTables); }

}  // namespace plr
