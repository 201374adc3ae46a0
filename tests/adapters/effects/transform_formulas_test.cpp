// The coordinate formulas of the transform list and of the numbered
// distortions at sample points.
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "adapters/effects/effect_distort.h"
#include "adapters/effects/transforms.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using TransformFormulas = EngineTest;
namespace el = effect_lib;

constexpr int kW = 41, kH = 31;  // odd: the middle is a pixel centre
constexpr int kMidX = kW / 2, kMidY = kH / 2;

void sourceOf(const el::TransformList& list, int x, int y, float& sx, float& sy) {
    std::vector<float> xs(kW), ys(kW);
    el::TransformRow(list, y, xs.data(), ys.data(), kW);
    sx = xs[std::size_t(x)];
    sy = ys[std::size_t(x)];
}

TEST_F(TransformFormulas, RadialTransformsKeepTheirCentreAndTheOutside) {
    using Add = int (*)(el::TransformList&, int cx, int cy);
    const Add adds[] = {
        [](el::TransformList& l, int cx, int cy) { return el::AddEllipticalTransform(l, kW, kH, 12, 9, cx, cy, 0); },
        [](el::TransformList& l, int cx, int cy) { return el::AddLensTransform(l, kW, kH, 12, cx, cy); },
        [](el::TransformList& l, int cx, int cy) { return el::AddPinchTransform(l, kW, kH, 12, 60, cx, cy); },
        [](el::TransformList& l, int cx, int cy) { return el::AddPinchTransform(l, kW, kH, 12, -60, cx, cy); },
        [](el::TransformList& l, int cx, int cy) { return el::AddSpinTransform(l, kW, kH, 12, 90, cx, cy); },
        [](el::TransformList& l, int cx, int cy) { return el::AddSpinWaveTransform(l, kW, kH, 12, 90, 25, cx, cy); },
        [](el::TransformList& l, int cx, int cy) { return el::AddRippleTransform(l, kW, kH, 7, 3, 25, cx, cy, 0); },
    };
    el::TransformList list;
    for (const Add add : adds)
        for (auto [cx, cy] : {std::pair{0, 0}, std::pair{-20, 10}}) {  // offsets in half pixels
            el::ClearAllTransforms(list);
            ASSERT_EQ(add(list, cx, cy), 1);
            const int px = kMidX + cx / 2, py = kMidY + cy / 2;
            float sx, sy;
            sourceOf(list, px, py, sx, sy);
            EXPECT_FLOAT_EQ(sx, px);
            EXPECT_FLOAT_EQ(sy, py);
            sourceOf(list, px + 9, py - 4, sx, sy);  // inside: moved (the ripple everywhere)
            EXPECT_GT(std::hypot(sx - (px + 9), sy - (py - 4)), 0.01);
            if (list.items[0].kind == el::TransformKind::Ripple) continue;
            sourceOf(list, 0, kH - 1, sx, sy);  // beyond the radius: in place
            EXPECT_FLOAT_EQ(sx, 0);
            EXPECT_FLOAT_EQ(sy, kH - 1);
        }
    // Wave and zig zag are still at the origin; wow keeps its centre and
    // turns the corner about it.
    float sx, sy;
    el::ClearAllTransforms(list);
    el::AddWaveTransform(list, kW, kH, 4, 20, 0);
    el::AddZigZagTransform(list, kW, kH, 4, 20, 0);
    sourceOf(list, 0, 0, sx, sy);
    EXPECT_FLOAT_EQ(sx, 0);
    EXPECT_FLOAT_EQ(sy, 0);
    el::ClearAllTransforms(list);
    el::AddWowTransform(list, kW, kH, 15, 0);
    sourceOf(list, kMidX, kMidY, sx, sy);
    EXPECT_FLOAT_EQ(sx, kMidX);
    EXPECT_FLOAT_EQ(sy, kMidY);
    sourceOf(list, 0, 0, sx, sy);
    EXPECT_NEAR(std::hypot(sx - kMidX, sy - kMidY), std::hypot(kMidX, kMidY), 1e-3);
}

TEST_F(TransformFormulas, OffsetInEdgeModeZeroMovesByExactlyThatAndFillsTheRest) {
    std::mt19937 rng(8);
    std::vector<std::uint8_t> src(std::size_t(kW) * kH * 4), dst(src.size());
    for (auto& b : src) b = static_cast<std::uint8_t>(rng());
    el::TransformList list;
    el::AddOffsetTransform(list, kW, kH, 5, -3, 0);
    const std::uint32_t fill = 0x01020304u;
    ASSERT_EQ(el::TransformProcess(list, src.data(), kW, kH, kW * 4, dst.data(), kW * 4, 4, 0, fill), 1);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int sx = x - 5, sy = y + 3;
            std::uint32_t got, want = fill;
            std::memcpy(&got, &dst[(std::size_t(y) * kW + x) * 4], 4);
            if (sx >= 0 && sx < kW && sy >= 0 && sy < kH) std::memcpy(&want, &src[(std::size_t(sy) * kW + sx) * 4], 4);
            ASSERT_EQ(got, want) << x << "," << y;
        }
}

// The numbered distortions move colour only, and their neutral values leave
// the picture as it is.
TEST_F(TransformFormulas, NumberedDistortionsKeepAlphaAndHaveNeutralValues) {
    std::mt19937 rng(3);
    std::vector<std::uint8_t> start(std::size_t(kW) * kH * 4);
    for (auto& b : start) b = static_cast<std::uint8_t>(rng());
    const std::int32_t numbers[] = {6, 13, 16, 17, 18, 22, 39, 49, 50, 52, 54, 56};
    for (std::int32_t n : numbers) {
        std::int32_t v[16] = {0, 0, 0, 90, 40, 30, 20, 10, 5, 0, 0, 0, 0, 0, 0, 0};
        auto img = start;
        ASSERT_TRUE(el::runDistortion(n, img.data(), kW, kH, v)) << n;
        EXPECT_NE(img, start) << n;
        for (std::size_t i = 3; i < img.size(); i += 4) ASSERT_EQ(img[i], start[i]) << n;
    }
    struct Neutral {
        std::int32_t number, parameter, value;
    };
    for (const Neutral& k : {Neutral{6, 3, 0}, Neutral{17, 3, 0}, Neutral{18, 3, 0}, Neutral{22, 3, 1},
                             Neutral{49, 5, 1}, Neutral{50, 3, 501}, Neutral{54, 3, 0}, Neutral{52, 3, 0},
                             Neutral{56, 4, 0}}) {
        std::int32_t v[16] = {};
        v[k.parameter] = k.value;
        auto img = start;
        ASSERT_TRUE(el::runDistortion(k.number, img.data(), kW, kH, v)) << k.number;
        EXPECT_EQ(img, start) << k.number;
    }
}

}  // namespace
}  // namespace plr::test
