// Rectangles, ellipses and gradients on the current layer: their extents,
// stops, the merge's opacity, the mask and the alpha lock, and the scratch
// buffer gone afterwards.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/shape_drawing.h"
#include "engine_fixture.h"
#include "layers/merge_rgba32.h"

namespace plr::test {
namespace {

constexpr int kW = 120, kH = 40;

class ShapeDrawing : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(2, kW, kH);
        PLR_CreateLayer(3, kW, kH);
        PLR_SetLayer(2);
    }
    static std::vector<std::uint8_t> rgba32(int slot = 2) {
        std::vector<std::uint8_t> out(kW * kH * 4);
        PLR_GetRGBA32Layer(out.data(), kW * 4, slot);
        return out;
    }
    static const std::uint8_t* at(const std::vector<std::uint8_t>& img, int x, int y) { return &img[(y * kW + x) * 4]; }
    // The inclusive box of the pixels with alpha.
    struct Box {
        int left = kW, top = kH, right = -1, bottom = -1;
    };
    static Box inked(const std::vector<std::uint8_t>& img) {
        Box b;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (at(img, x, y)[3]) b.left = std::min(b.left, x), b.right = std::max(b.right, x),
                                      b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
        return b;
    }
    static std::vector<std::uint16_t> layer(int slot) {
        const LayerRecord& l = page().layers[slot];
        return {l.pixels.data(), l.pixels.data() + std::size_t{kW} * kH * 4};
    }
};

TEST_F(ShapeDrawing, RectangleTakesTheStartColumnAndLeavesTheEndColumn) {
    PLR_IPLRectangle(200, 100, 50, 10, 10, 20, 20, 100);
    const std::vector<std::uint8_t> img = rgba32();
    Box b = inked(img);
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.right, 19);
    EXPECT_EQ(b.top, 10);
    EXPECT_EQ(b.bottom, 20);
    const std::uint8_t* p = at(img, 15, 15);
    EXPECT_EQ(std::vector<int>(p, p + 3), (std::vector<int>{200, 100, 50}));

    PLR_Clear(0, 0, 0, 0);
    PLR_IPLRectangle(1, 2, 3, 20, 20, 10, 10, 100);
    b = inked(rgba32());
    EXPECT_EQ(b.left, 11);
    EXPECT_EQ(b.right, 20);
    EXPECT_EQ(b.top, 10);
    EXPECT_EQ(b.bottom, 20);
    EXPECT_EQ(shapeBox(10, 10, 20, 20).right, 19);
    EXPECT_EQ(shapeBox(20, 20, 10, 10).left, 11);
}

TEST_F(ShapeDrawing, EllipseFillsItsBoxWithRadiiOfAtLeastTwo) {
    PLR_IPLEllipse(0, 128, 255, 10, 5, 31, 26, 100);  // box 10..30 x 5..26: radii 10, 10, centre (20, 15)
    std::vector<std::uint8_t> img = rgba32();
    Box b = inked(img);
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.right, 30);
    EXPECT_EQ(b.top, 5);
    EXPECT_EQ(b.bottom, 25);
    EXPECT_GE(at(img, 20, 15)[3], 254);
    EXPECT_LT(at(img, 10, 5)[3], 40);  // the corner lies outside: soft or clear
    EXPECT_EQ(at(img, 20, 5)[2], 255);  // soft edges keep the colour

    PLR_Clear(0, 0, 0, 0);
    PLR_IPLEllipse(9, 9, 9, 10, 10, 12, 11, 100);  // 2 x 2 box: radii held to 2, centre (12, 12)
    b = inked(rgba32());
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.right, 14);
    EXPECT_EQ(b.top, 10);
    EXPECT_EQ(b.bottom, 14);
}

TEST_F(ShapeDrawing, OpacityGoesThroughTheMergeAsStrength) {
    EXPECT_EQ(shapeStrength(100), 255);
    EXPECT_EQ(shapeStrength(50), 127);
    EXPECT_EQ(shapeStrength(250), 255);
    EXPECT_EQ(shapeStrength(-5), 0);
    for (int opacity : {100, 50, 13}) {
        for (int slot : {2, 3}) {
            std::vector<std::uint8_t> white(kW * kH * 4, 0);
            for (int i = 0; i < kW * kH; ++i) std::memset(&white[i * 4], i % 7 ? 255 : 0, 4);
            PLR_LoadRGBA32Layer(white.data(), kW * 4, slot, 0, 0, kW, kH, 0);
        }
        PLR_IPLRectangle(10, 20, 30, 5, 5, 50, 30, opacity);
        // The same drawing merged by hand.
        std::vector<std::uint8_t> drawing(kW * kH * 4);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                std::uint8_t* p = &drawing[(y * kW + x) * 4];
                p[0] = 10, p[1] = 20, p[2] = 30, p[3] = (x >= 5 && x < 50 && y >= 5 && y <= 30) ? 255 : 0;
            }
        ASSERT_TRUE(mergeRGBA32IntoLayer(page(), drawing.data(), page().layers[3], 0, 0, shapeStrength(opacity), false));
        EXPECT_EQ(layer(2), layer(3)) << "opacity " << opacity;
    }
}

TEST_F(ShapeDrawing, TheMaskLimitsAndTheAlphaLockKeepsAlpha) {
    std::vector<std::uint8_t> base(kW * kH * 4);
    for (int i = 0; i < kW * kH; ++i) base[i * 4] = 40, base[i * 4 + 3] = static_cast<std::uint8_t>(i * 13);
    PLR_LoadRGBA32(base.data(), kW * 4, 0);
    std::vector<std::uint16_t> mask(kW * kH, 0xFFFF);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW / 2; ++x) mask[y * kW + x] = 0;
    PLR_SetMaskData16(mask.data());
    PLR_EnableMask(1);
    const std::vector<std::uint16_t> before = layer(2);
    PLR_IPLEllipse(250, 0, 0, 0, 0, kW, kH, 100);
    const std::vector<std::uint16_t> after = layer(2);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW / 2; ++x)
            ASSERT_EQ(0, std::memcmp(&after[(y * kW + x) * 4], &before[(y * kW + x) * 4], 8)) << x << "," << y;
    std::vector<std::uint8_t> img = rgba32();
    EXPECT_GT(at(img, kW * 3 / 4, kH / 2)[0], 200);

    PLR_EnableMask(0);
    PLR_LoadRGBA32(base.data(), kW * 4, 0);
    PLR_SetLayerOptions(2, 1, 1, 100, "Normal");
    PLR_IPLRectangle(0, 0, 250, 0, 0, kW, kH, 100);
    img = rgba32();
    for (int i = 0; i < kW * kH; ++i) ASSERT_EQ(img[i * 4 + 3], base[i * 4 + 3]) << i;
    EXPECT_GT(at(img, 60, 20)[2], 200);
}

TEST_F(ShapeDrawing, GradientStopsSitAtTheirPositions) {
    // Pixel x lies at x percent of a line from (0, y) to (100, y).
    PLR_IPLGradient(255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 3, 0, 0, 100, 0, "Linear");
    std::vector<std::uint8_t> img = rgba32();
    const auto rgb = [&](int x) { return std::vector<int>(at(img, x, 7), at(img, x, 7) + 3); };
    EXPECT_EQ(rgb(0), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(rgb(50), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(rgb(100), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(rgb(25), (std::vector<int>{128, 128, 0}));
    PLR_Clear(0, 0, 0, 0);
    PLR_IPLGradient(255, 0, 0, 0, 255, 0, 0, 0, 255, 7, 7, 7, 4, 0, 0, 100, 0, "Linear");
    img = rgba32();
    EXPECT_EQ(rgb(33), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(rgb(66), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(rgb(99), (std::vector<int>{7, 7, 7}));
    EXPECT_GE(at(img, 110, 3)[3], 254);  // every stop opaque
    const GradientStops four = gradientStops({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 9);
    EXPECT_EQ(four.count, 4);  // at most four colours, spaced by 100 / (n - 1)
    EXPECT_EQ(four.positions[3], 36);
    EXPECT_EQ(four.packed[1], 6u | (5u << 8) | (4u << 16));
}

TEST_F(ShapeDrawing, OneAndZeroColourGradientsFadeColourOne) {
    PLR_IPLGradient(0, 90, 180, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 10, 0, 110, 0, "Linear");
    std::vector<std::uint8_t> img = rgba32();
    EXPECT_EQ(at(img, 5, 0)[3], 0);
    EXPECT_GE(at(img, 115, 0)[3], 254);
    EXPECT_EQ(at(img, 115, 0)[2], 180);
    for (int x = 1; x < kW; ++x) EXPECT_GE(at(img, x, 0)[3], at(img, x - 1, 0)[3]);
    PLR_Clear(0, 0, 0, 0);
    PLR_IPLGradient(0, 90, 180, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 10, 0, 110, 0, "Linear");
    img = rgba32();
    EXPECT_GE(at(img, 5, 0)[3], 254);
    EXPECT_EQ(at(img, 115, 0)[3], 0);
    for (int x = 1; x < kW; ++x) EXPECT_LE(at(img, x, 0)[3], at(img, x - 1, 0)[3]);
}

TEST_F(ShapeDrawing, TwoColourGradientIsMonotoneAndOnlyExactLinearIsLinear) {
    PLR_IPLGradient(20, 200, 0, 230, 10, 0, 0, 0, 0, 0, 0, 0, 2, 3, 4, 100, 30, "Linear");
    const std::vector<std::uint8_t> linear = rgba32();
    for (int y = 0; y < kH; ++y)
        for (int x = 1; x < kW; ++x) {
            ASSERT_GE(at(linear, x, y)[0], at(linear, x - 1, y)[0]);
            ASSERT_LE(at(linear, x, y)[1], at(linear, x - 1, y)[1]);
        }
    for (const char* kind : {"linear", "Radial", "LINEAR", ""}) {
        PLR_Clear(0, 0, 0, 0);
        PLR_IPLGradient(20, 200, 0, 230, 10, 0, 0, 0, 0, 0, 0, 0, 2, 3, 4, 100, 30, kind);
        const std::vector<std::uint8_t> img = rgba32();
        EXPECT_NE(img, linear) << kind;
        // Radial about (3, 4): equal distances, equal colours.
        EXPECT_EQ(0, std::memcmp(at(img, 13, 4), at(img, 3, 14), 4)) << kind;
    }
}

TEST_F(ShapeDrawing, TheScratchBufferIsGoneAfterEveryShapeAndFailuresLeaveTheLayer) {
    PLR_IPLAllocDstBuffer32();
    PLR_IPLRectangle(1, 2, 3, 0, 0, 5, 5, 100);
    EXPECT_TRUE(page().processing.dst32.empty());
    PLR_IPLAllocDstBuffer32();
    const std::vector<std::uint16_t> before = layer(2);
    PLR_IPLGradient(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 2, 5, 5, 5, 5, "Linear");  // zero length: nothing
    EXPECT_TRUE(page().processing.dst32.empty());
    EXPECT_EQ(layer(2), before);

    const int allocations = forEachAllocationFailure(
        [] { PLR_SetLastError(""); },
        [] { PLR_IPLEllipse(1, 2, 3, 0, 0, 30, 30, 100); },
        [&](int n) {
            EXPECT_STREQ(PLR_GetLastError(), "IPLEllipse Excpt") << n;
            EXPECT_EQ(layer(2), before) << n;
            EXPECT_TRUE(page().processing.dst32.empty()) << n;
        });
    EXPECT_GE(allocations, 2);
}

TEST_F(ShapeDrawing, CoordinatesAnywhereInThe32BitRangeAreSafe) {
    constexpr std::int32_t lo = INT32_MIN, hi = INT32_MAX;
    const std::int32_t corners[][4] = {{lo, lo, hi, hi}, {hi, hi, lo, lo}, {lo, 5, lo + 3, 9}, {hi - 1, 0, hi, kH}};
    for (const auto& c : corners) {
        PLR_IPLRectangle(1, 2, 3, c[0], c[1], c[2], c[3], 100);
        PLR_IPLEllipse(1, 2, 3, c[0], c[1], c[2], c[3], 100);
        PLR_IPLGradient(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 4, c[0], c[1], c[2], c[3], "Linear");
        PLR_IPLGradient(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -3, c[0], c[1], c[2], c[3], "Radial");
    }
    EXPECT_STREQ(PLR_GetLastError(), "");
    EXPECT_TRUE(page().processing.dst32.empty());
}

}  // namespace
}  // namespace plr::test
