// The generators: each draws with a numbered effect over the layer read into
// SrcBuffer32. Besides its own values every generator passes the random
// value as its seed (parameter 3), the drawing mode chosen by option 2 and
// the filter colour (white unless option 1 asks for the colour), each at the
// parameter its effect reads them from.
#include <algorithm>
#include <initializer_list>

#include "engine/filter_ops.h"
#include "engine/page.h"

namespace plr::filter_ops {
namespace {

struct Generator {
    std::int32_t number;
    std::int32_t blendAt;   // parameter of the drawing mode
    std::int32_t colourAt;  // parameter of red (green and blue follow), or -1
    bool seeded;            // passes the random value as parameter 3
};

// Option 2 as the effects number their drawing modes: 0 is the normal mode
// (12), 1..12 are modes 0..11, other values pass unchanged.
std::int32_t drawingMode(const FilterRun& r) {
    const std::int32_t o = r.option(2);
    return o == 0 ? 12 : o >= 1 && o <= 12 ? o - 1 : o;
}

bool generate(FilterRun& r, const Generator& g, std::initializer_list<EffectValue> own) {
    EffectValue v[32];
    int n = 0;
    if (g.seeded) v[n++] = {3, r.call.random};
    v[n++] = {g.blendAt, drawingMode(r)};
    if (g.colourAt >= 0) {
        const bool coloured = r.option(1) != 0;
        v[n++] = {g.colourAt, coloured ? r.call.args.red : 255};
        v[n++] = {g.colourAt + 1, coloured ? r.call.args.green : 255};
        v[n++] = {g.colourAt + 2, coloured ? r.call.args.blue : 255};
    }
    for (const EffectValue& e : own) v[n++] = e;
    return runEffect(r, r.out, g.number, v, n);
}

// Counts that scale with the page: one per thousand and per ten thousand
// pixels, at least one.
std::int32_t perThousand(const FilterRun& r) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(1, std::int64_t{r.width()} * r.height() / 1000));
}
std::int32_t perTenThousand(const FilterRun& r) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(1, std::int64_t{r.width()} * r.height() / 10000));
}

}  // namespace

bool lines(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {1, 14, 8, true},
                    {{4, t(perTenThousand(r) * double(p[1]))}, {5, t(10 * p[2])}, {18, t(p[3])}, {6, t(3.6 * p[4])},
                     {7, t(0.25 * p[5])}, {17, t(p[6])}, {15, r.option(3)}, {16, r.option(4)}});
}

bool points(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {43, 12, 6, true},
                    {{4, t(perThousand(r) * double(p[1]))}, {5, t(0.25 * p[2])}, {14, t(p[3])}, {13, r.option(3)}});
}

bool circles(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {2, 14, 8, true},
                    {{4, t(perTenThousand(r) * double(p[1]))}, {5, t(10 * p[2])}, {18, t(p[3])}, {7, t(0.25 * p[4])},
                     {17, t(p[5])}, {15, r.option(3)}, {16, r.option(4)}});
}

bool rectangles(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {3, 14, 8, true},
                    {{4, t(perTenThousand(r) * double(p[1]))}, {5, t(10 * p[2])}, {6, t(10 * p[3])}, {18, t(p[4])},
                     {7, t(0.25 * p[5])}, {17, t(p[6])}, {15, r.option(3)}, {16, r.option(4)}});
}

bool splines(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {4, 15, 9, true},
                    {{4, t(perTenThousand(r) * double(p[1]))}, {5, t(0.64 * p[2])}, {7, t(10 * p[3])}, {18, t(p[4])},
                     {8, t(0.25 * p[5])}, {17, t(p[6])}, {16, r.option(3)}});
}

bool worms(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {37, 14, 8, true},
                    {{4, t(perTenThousand(r) * double(p[1]))}, {5, t(10 * p[2])}, {6, t(10 * p[3])},
                     {7, t(0.25 * p[4])}, {16, t(p[5])}, {15, r.option(3)}});
}

bool fibers(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {59, 16, 8, true},
                    {{4, t(p[1] + 4)}, {5, t(10 * p[2])}, {6, t(0.25 * p[3])}, {12, t(p[4])}, {7, t(0.25 * p[5])},
                     {11, t(p[6])}});
}

bool trees(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {58, 15, 9, true},
                    {{4, t(perTenThousand(r) * double(p[1]))}, {19, t(p[2])}, {5, t(10 * p[3])}, {6, t(0.1 * p[4])},
                     {8, t(0.25 * p[5])}, {17, t(p[6])}, {16, r.option(3)}});
}

bool generateNoise(FilterRun& r) {
    const float* p = r.p;
    const bool relative = r.optionByte(4) != 0;  // cell size in percent of the page
    const std::int32_t cellW = relative ? t(p[1] * 0.01 * r.width() + 1) : t(p[1] + 1);
    const std::int32_t cellH = relative ? t(p[2] * 0.01 * r.height() + 1) : t(p[2] + 1);
    return generate(r, {21, 13, 7, true}, {{4, cellW}, {5, cellH}, {6, t(p[3])}, {14, r.option(3)}});
}

bool blobs(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {20, 13, 7, true},
                    {{4, t(perTenThousand(r) * double(p[1]))}, {5, t(10 * p[2])}, {14, r.option(3)}});
}

bool plasma(FilterRun& r) { return generate(r, {5, 11, 5, true}, {{4, t(5 * r.p[1])}, {12, r.option(3)}}); }

bool sinePlasma(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {24, 13, 7, false}, {{3, t(p[1] / 3)}, {4, t(p[2] / 3)}, {5, t(2.5 * p[3])}, {6, t(2.5 * p[4])}});
}

bool fractalPlasma(FilterRun& r) { return generate(r, {55, 10, 4, true}, {{11, r.option(3)}}); }

bool generatePerlinNoise(FilterRun& r) {
    return generate(r, {11, 12, 6, true}, {{4, t(r.p[1] + 1)}, {5, t(r.p[2] + 1)}, {13, r.option(3)}});
}

bool patternGenerator(FilterRun& r) {
    const float* p = r.p;
    return generate(r, {42, 10, -1, false},
                    {{3, t(p[1])}, {4, t(p[2])}, {12, t(p[3])}, {5, t(0.25 * p[4])}, {11, t(p[5])}, {6, r.option(1)},
                     {13, r.option(3)}});
}

}  // namespace plr::filter_ops
