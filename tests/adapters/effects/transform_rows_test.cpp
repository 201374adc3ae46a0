// The transform list's single-precision row code against the plain
// double-precision formulas: positions within a stated distance, and whole
// pictures identical except where that distance straddles a 1/32 step.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "adapters/effects/transform_rows.h"
#include "adapters/effects/transforms.h"
#include "adapters/effects/transforms_reference.h"
#include "adapters/imaging/inverse_sampler.h"
#include "core/cpu_features.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using TransformRows = EngineTest;
namespace el = effect_lib;

// Single precision carries 24 bits: at 4000 pixels one step is 1/4096 of a
// pixel, and the trigonometric forms add a few steps more (the marble's two
// nested sines turn a phase error of some 1e-5 turns into a thousandth of a
// pixel at 40 pixels of swirl). 1/256 pixel is an eighth of the sampler's
// 1/32 step: comfortably above what the formulas lose, far below anything
// that shows.
constexpr double kTolerance = 1.0 / 256;

// One transform of every kind with values drawn from `rng`, for a
// width x height picture; `edge` is the transform's own edge mode where it
// takes one.
int addRandom(el::TransformList& list, int kind, int width, int height, int edge, std::mt19937& rng) {
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int side = std::min(width, height);
    const int cx = whole(-width / 2, width / 2), cy = whole(-height / 2, height / 2);
    switch (static_cast<el::TransformKind>(kind)) {
        case el::TransformKind::Offset:
            return el::AddOffsetTransform(list, width, height, uniform(-900, 900), uniform(-700, 700), edge);
        case el::TransformKind::Elliptical:
            return el::AddEllipticalTransform(list, width, height, whole(1, width), whole(1, height), cx, cy, edge);
        case el::TransformKind::Lens: return el::AddLensTransform(list, width, height, whole(1, side), cx, cy);
        case el::TransformKind::Marble:
            return el::AddMarbleTransform(list, width, height, uniform(0.5, 5.5), uniform(-60, 60), uniform(-60, 60));
        case el::TransformKind::Pinch:
            return el::AddPinchTransform(list, width, height, whole(1, side), whole(-150, 150), cx, cy);
        case el::TransformKind::Ripple:
            return el::AddRippleTransform(list, width, height, whole(1, side), whole(-60, 60), whole(0, 100), cx, cy,
                                          edge);
        case el::TransformKind::Spin:
            return el::AddSpinTransform(list, width, height, whole(1, side), whole(-720, 720), cx, cy);
        case el::TransformKind::SpinWave:
            return el::AddSpinWaveTransform(list, width, height, whole(1, side), whole(-720, 720), whole(0, 100), cx,
                                            cy);
        case el::TransformKind::Wave:
            return el::AddWaveTransform(list, width, height, uniform(-40, 40), whole(0, 300), edge);
        case el::TransformKind::Wow: return el::AddWowTransform(list, width, height, whole(0, side), edge);
        case el::TransformKind::ZigZag:
            return el::AddZigZagTransform(list, width, height, uniform(-40, 40), whole(0, 300), edge);
        case el::TransformKind::Random: return el::AddRandomTransform(list, width, height, whole(0, 30));
    }
    return 0;
}

constexpr int kKinds = 12;
constexpr int kRandom = static_cast<int>(el::TransformKind::Random);

// Distance between two positions on an axis of n pixels; a wrapping fold
// makes n - 0.001 and -0.001 the same place.
double apart(double a, double b, int n, bool wraps) {
    const double d = std::fabs(a - b);
    return wraps ? std::min(d, std::fabs(d - n)) : d;
}

// The largest distance between the row code and the plain formulas over
// every `step`th row.
double largestError(const el::TransformList& list, int width, int height, int step) {
    std::vector<float> xs(static_cast<std::size_t>(width)), ys(xs.size());
    std::vector<double> rx(xs.size()), ry(xs.size());
    const bool wraps = list.items[0].edgeMode == 1;  // the last fold decides
    double worst = 0;
    for (int y = 0; y < height; y += step) {
        el::TransformRow(list, y, xs.data(), ys.data(), width);
        reference::transformRow(list, y, rx.data(), ry.data(), width);
        for (int x = 0; x < width; ++x) {
            worst = std::max(worst, apart(xs[std::size_t(x)], rx[std::size_t(x)], width, wraps));
            worst = std::max(worst, apart(ys[std::size_t(x)], ry[std::size_t(x)], height, wraps));
        }
    }
    return worst;
}

TEST_F(TransformRows, EveryKindAndEdgeModeStaysWithinTheToleranceOfThePlainFormula) {
    std::mt19937 rng(17);
    el::TransformList list;
    for (auto [w, h] : {std::pair{3001, 2003}, std::pair{37, 1}, std::pair{1, 29}})
        for (int kind = 0; kind < kKinds; ++kind)
            for (int edge = 0; edge < 5; ++edge)
                for (int draw = 0; draw < 3; ++draw) {
                    el::ClearAllTransforms(list);
                    ASSERT_EQ(addRandom(list, kind, w, h, edge, rng), 1);
                    const double error = largestError(list, w, h, h > 100 ? 53 : 1);
                    // The scatter lands on whole pixels: no rounding to lose.
                    EXPECT_LE(error, kind == kRandom ? 0.0 : kTolerance)
                        << "kind " << kind << " edge " << edge << " size " << w << "x" << h;
                }
}

TEST_F(TransformRows, ChainsStayWithinTwoSamplerStepsOfThePlainFormulas) {
    // Each transform hands the next its positions as floats, and the next
    // stretches that rounding by its own slope: a spin of a turn or two, a
    // steep wave, multiply it by tens. Two 1/32 steps hold for chains of
    // those. Left out: Random (a chain ahead of it may round a position to
    // the other whole pixel, where the scatter is another) and Elliptical
    // ahead of others (at its rim the slope has no bound).
    std::mt19937 rng(5);
    el::TransformList list;
    constexpr int kElliptical = static_cast<int>(el::TransformKind::Elliptical);
    for (int draw = 0; draw < 40; ++draw) {
        el::ClearAllTransforms(list);
        const int length = 2 + draw % 3;
        for (int i = 0; i < length; ++i) {
            int kind = int(rng() % (kKinds - 1));
            if (kind == kElliptical && i + 1 < length) kind = kRandom - 1;
            ASSERT_EQ(addRandom(list, kind, 1201, 797, int(rng() % 4), rng), 1);
        }
        EXPECT_LE(largestError(list, 1201, 797, 41), 2.0 / 32) << "draw " << draw;
    }
}

TEST_F(TransformRows, ShortWavesFarFromTheCentreStayWithinTheTolerance) {
    // Wow's rings and Ripple's waves of a few pixels, read thousands of
    // pixels out: the wave's phase needs more than a float there.
    el::TransformList list;
    for (int radius : {1, 3, 10, 50, 300, 1500})
        for (auto [cx, cy] : {std::pair{0, 0}, std::pair{-3001, 2003}}) {
            el::ClearAllTransforms(list);
            ASSERT_EQ(el::AddWowTransform(list, 3001, 2003, radius, 0), 1);
            list.items[0].cx += cx / 2.0;
            list.items[0].cy += cy / 2.0;
            EXPECT_LE(largestError(list, 3001, 2003, 13), kTolerance) << "wow " << radius;
            el::ClearAllTransforms(list);
            ASSERT_EQ(el::AddRippleTransform(list, 3001, 2003, radius, radius % 2 ? 60 : -45, 30, cx, cy, 0), 1);
            EXPECT_LE(largestError(list, 3001, 2003, 13), kTolerance) << "ripple " << radius;
        }
}

TEST_F(TransformRows, SpinWavesOfEverySizeStayWithinTheTolerance) {
    // The spin wave's angle is steep in r: wide spins of many waves, small
    // and picture-sized radii, centres inside and far outside the picture.
    el::TransformList list;
    for (int radius : {7, 300, 1500, 2000, 4000})
        for (int angle : {15, -90, 180, 720})
            for (int waves : {0, 5, 50, 100})
                for (auto [cx, cy] : {std::pair{0, 0}, std::pair{-3001, 2003}}) {
                    el::ClearAllTransforms(list);
                    ASSERT_EQ(el::AddSpinWaveTransform(list, 3001, 2003, radius, angle, waves, cx, cy), 1);
                    EXPECT_LE(largestError(list, 3001, 2003, 37), kTolerance)
                        << "radius " << radius << " angle " << angle << " waves " << waves << " centre " << cx;
                }
}

TEST_F(TransformRows, RandomRoundsHalfPixelsAwayFromZeroAsThePlainFormula) {
    // Positions half way between pixels pick the neighbour away from zero,
    // on both sides of the origin.
    el::TransformList list;
    for (double shift : {0.5, -0.5, 2.5, -3.5, 640.5}) {
        el::ClearAllTransforms(list);
        ASSERT_EQ(el::AddOffsetTransform(list, 301, 203, shift, -shift, 0), 1);
        ASSERT_EQ(el::AddRandomTransform(list, 301, 203, 7), 1);
        EXPECT_EQ(largestError(list, 301, 203, 1), 0.0) << shift;
    }
}

TEST_F(TransformRows, GridRowsGiveTheBitsOfTheGridThroughTheRowFormula) {
    // The radial kinds mirror half a grid row's factors about the centre
    // column: centres on whole and half pixels, inside and beyond the picture,
    // and rows of one and two pixels.
    std::mt19937 rng(31);
    el::TransformList list;
    for (auto [w, h] : {std::pair{1001, 601}, std::pair{1, 9}, std::pair{2, 5}})
        for (int kind = 0; kind < kKinds; ++kind)
            for (int draw = 0; draw < 6; ++draw) {
                el::ClearAllTransforms(list);
                ASSERT_EQ(addRandom(list, kind, w, h, draw % 5, rng), 1);
                el::Transform t = list.items[0];
                if (draw == 5) t.cx += 3.0 * w;  // the whole row on one side
                std::vector<float> gx(static_cast<std::size_t>(w)), gy(gx.size()), rx(gx.size()), ry(gx.size());
                for (int y = 0; y < h; y += h > 100 ? 29 : 1) {
                    el::applyTransformToGridRow(t, y, gx.data(), gy.data(), w);
                    for (int x = 0; x < w; ++x) {
                        rx[std::size_t(x)] = static_cast<float>(x);
                        ry[std::size_t(x)] = static_cast<float>(y);
                    }
                    el::applyTransformToRow(t, rx.data(), ry.data(), w);
                    ASSERT_EQ(std::memcmp(gx.data(), rx.data(), gx.size() * 4), 0) << "kind " << kind << " row " << y;
                    ASSERT_EQ(std::memcmp(gy.data(), ry.data(), gy.size() * 4), 0) << "kind " << kind << " row " << y;
                }
            }
}

TEST_F(TransformRows, TheAvx2BuildGivesTheBaselineBits) {
    if (!processorHasAvx2()) GTEST_SKIP() << "no AVX2 and FMA";
    std::mt19937 rng(23);
    constexpr int kW = 1203, kH = 811;
    el::TransformList list;
    std::vector<float> bx(kW), by(kW), wx(kW), wy(kW), tables(std::size_t(kW) * el::kMarbleTables);
    for (int kind = 0; kind < kKinds; ++kind)
        for (int edge = 0; edge < 5; ++edge) {
            el::ClearAllTransforms(list);
            ASSERT_EQ(addRandom(list, kind, kW, kH, edge, rng), 1);
            const el::Transform& t = list.items[0];
            // Rows of scattered positions, in and beyond the picture, odd lengths for the loop tails.
            for (int row = 0; row < 40; ++row) {
                const int n = kW - row;
                for (int x = 0; x < n; ++x) {
                    bx[std::size_t(x)] = wx[std::size_t(x)] = std::uniform_real_distribution<float>(-300.f, kW + 300.f)(rng);
                    by[std::size_t(x)] = wy[std::size_t(x)] = std::uniform_real_distribution<float>(-300.f, kH + 300.f)(rng);
                }
                el::applyTransformToRowBaseline(t, bx.data(), by.data(), n);
                el::applyTransformToRowAvx2(t, wx.data(), wy.data(), n);
                ASSERT_EQ(std::memcmp(bx.data(), wx.data(), std::size_t(n) * 4), 0) << "kind " << kind << " edge " << edge;
                ASSERT_EQ(std::memcmp(by.data(), wy.data(), std::size_t(n) * 4), 0) << "kind " << kind << " edge " << edge;
            }
            for (int y = 0; y < kH; y += 53) {
                el::applyTransformToGridRowBaseline(t, y, bx.data(), by.data(), kW);
                el::applyTransformToGridRowAvx2(t, y, wx.data(), wy.data(), kW);
                ASSERT_EQ(std::memcmp(bx.data(), wx.data(), std::size_t(kW) * 4), 0) << "grid row " << y;
                ASSERT_EQ(std::memcmp(by.data(), wy.data(), std::size_t(kW) * 4), 0) << "grid row " << y;
            }
            if (t.kind != el::TransformKind::Marble) continue;
            el::marbleColumns(t, tables.data(), kW);
            for (int y = 0; y < kH; y += 37) {
                el::marbleGridRowBaseline(t, y, tables.data(), bx.data(), by.data(), kW);
                el::marbleGridRowAvx2(t, y, tables.data(), wx.data(), wy.data(), kW);
                ASSERT_EQ(std::memcmp(bx.data(), wx.data(), std::size_t(kW) * 4), 0) << "marble row " << y;
                ASSERT_EQ(std::memcmp(by.data(), wy.data(), std::size_t(kW) * 4), 0) << "marble row " << y;
            }
        }
}

// The plain formulas' map, for the plain sampler.
struct PlainMap {
    const el::TransformList* list;
    int width;
};

void plainRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    const auto& m = *static_cast<const PlainMap*>(context);
    std::vector<double> rx(static_cast<std::size_t>(n)), ry(static_cast<std::size_t>(n));
    reference::transformRow(*m.list, y, rx.data(), ry.data(), n);
    for (std::int32_t x = 0; x < n; ++x) {
        xs[x] = static_cast<float>(rx[std::size_t(x)]);
        ys[x] = static_cast<float>(ry[std::size_t(x)]);
    }
}

// Within `tolerance` of a place where the sampler's 1/32 rounding (or, far
// out, its edge) changes what it reads.
bool nearAStep(double p, double tolerance) {
    const double steps = p * 32 - 0.5;
    return std::fabs(steps - std::round(steps)) <= tolerance * 32;
}

TEST_F(TransformRows, PicturesMatchThePlainFormulasExceptAtRoundingSteps) {
    constexpr int kW = 301, kH = 203;
    std::mt19937 rng(11);
    std::vector<std::uint8_t> src(std::size_t(kW) * kH * 4);
    for (auto& b : src) b = static_cast<std::uint8_t>(rng());
    el::TransformList list;
    std::vector<float> xs(kW), ys(kW);
    for (int kind = 0; kind < kKinds; ++kind)
        for (int edge = 0; edge < 4; ++edge) {
            el::ClearAllTransforms(list);
            ASSERT_EQ(addRandom(list, kind, kW, kH, edge, rng), 1);
            std::vector<std::uint8_t> fast(src.size()), plain(src.size());
            ASSERT_EQ(el::TransformProcess(list, src.data(), kW, kH, kW * 4, fast.data(), kW * 4, 4, edge, 0x5060708u), 1);
            imaging_lib::SampleSettings s;
            s.edge = static_cast<imaging_lib::SampleEdge>(edge);
            s.fill = 0x5060708u;
            const PlainMap context{&list, kW};
            ASSERT_EQ(imaging_lib::InverseMapImageReference(src.data(), kW, kH, kW * 4, plain.data(), kW * 4,
                                                            imaging_lib::InverseMap{plainRow, &context}, s),
                      1);
            int differing = 0;
            for (int y = 0; y < kH; ++y) {
                el::TransformRow(list, y, xs.data(), ys.data(), kW);
                std::vector<double> rx(kW), ry(kW);
                reference::transformRow(list, y, rx.data(), ry.data(), kW);
                for (int x = 0; x < kW; ++x) {
                    const std::size_t i = (std::size_t(y) * kW + x) * 4;
                    if (std::memcmp(&fast[i], &plain[i], 4) == 0) continue;
                    ++differing;
                    ASSERT_TRUE(nearAStep(rx[std::size_t(x)], kTolerance) || nearAStep(ry[std::size_t(x)], kTolerance))
                        << "kind " << kind << " edge " << edge << " at " << x << "," << y;
                }
            }
            EXPECT_LE(differing, kW * kH / 100) << "kind " << kind << " edge " << edge;
        }
}

}  // namespace
}  // namespace plr::test
