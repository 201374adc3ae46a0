// Mask builders: every tolerance rule at its edge, strengths, and pixels that
// fail keeping their previous mask values. Edges were worked out by hand from
// t = trunc(tolerance * 2.56) and hd = trunc(tolerance * 1.8).
#include <gtest/gtest.h>

#include <random>

#include "mask/builders.h"
#include "mask_test_support.h"

namespace plr::test {
namespace {

using MaskBuilders = MaskTest;

TEST_F(MaskBuilders, StrengthSetsTheValueWrittenAndFailuresKeepTheirValues) {
    const std::vector<Rgba> px = {{1, 2, 3, 4}, {9, 9, 9, 9}, {1, 2, 3, 200}};
    EXPECT_EQ(passes(px, 0x0000, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageColor(b, 1, 2, 3, 255); }),
              "P.P");
    EXPECT_EQ(passes(px, 0xFF00, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageColor(b, 1, 2, 3, 0); }),
              "P.P");
    EXPECT_EQ(passes(px, 0x7F00, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageColor(b, 1, 2, 3, 128); }),
              "P.P");
    // Strengths outside 0..255 are pinned rather than wrapping the 16-bit value.
    EXPECT_EQ(passes(px, 0x0000, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageColor(b, 1, 2, 3, 300); }),
              "P.P");
    EXPECT_EQ(passes(px, 0xFF00, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageColor(b, 1, 2, 3, -7); }),
              "P.P");
    // A reference that is no byte matches nothing.
    EXPECT_EQ(passes(px, 0x0000, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageColor(b, 257, 2, 3, 255); }),
              "...");
}

TEST_F(MaskBuilders, DiffWritesTheRawValueWhereAnyByteDiffers) {
    makePage(4, 1);
    const std::vector<std::uint8_t> a = bytes({{1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, {0, 0, 0, 0}});
    const std::vector<std::uint8_t> b = bytes({{1, 2, 3, 4}, {1, 2, 3, 5}, {0, 2, 3, 4}, {0, 0, 0, 0}});
    PLR_CreateMaskFromDiff_RGBA32(a.data(), b.data(), 0x1234);
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{sentinel(0), 0x1234, 0x1234, sentinel(3)}));
    PLR_CreateMaskFromDiff_RGBA32(a.data(), b.data(), 0);
    EXPECT_EQ(mask()[1], 0);
    PLR_CreateMaskFromDiff_RGBA32(a.data(), b.data(), 0xFFFF);
    EXPECT_EQ(mask()[2], 0xFFFF);
}

TEST_F(MaskBuilders, ExactColourInRgb24AndFloodMaps) {
    makePage(4, 1);
    const std::uint8_t rgb[12] = {5, 6, 7, 5, 6, 8, 5, 6, 7, 0, 0, 0};
    PLR_CreateMaskFromRGB24ImageColor(rgb, 5, 6, 7, 255);
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{0, sentinel(1), 0, sentinel(3)}));
    const std::uint8_t map[4] = {0, 1, 2, 255};
    PLR_CreateMaskFromFloodMask(map, 1);
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{0, 0xFE00, 0, sentinel(3)}));
}

TEST_F(MaskBuilders, ColourRangeEdgesFollowTheTruncatedDistance) {
    auto run = [&](int tolerance, const std::vector<Rgba>& px) {
        return passes(px, 0, [&](const std::uint8_t* b) {
            PLR_CreateMaskFromRGBAImageColorRange(b, 100, 100, 100, tolerance, 255);
        });
    };
    // 10 % -> 25.6 -> 25 on each channel separately.
    EXPECT_EQ(run(10, {{125, 100, 100, 0}, {126, 100, 100, 0}, {100, 75, 100, 0}, {100, 100, 74, 0},
                       {125, 75, 125, 9}}),
              "P.P.P");
    // 39 % -> 99.84 -> 99 (rounding would give 100).
    EXPECT_EQ(run(39, {{199, 100, 100, 0}, {200, 100, 100, 0}, {100, 1, 100, 0}, {100, 0, 100, 0}}), "P.P.");
    // 0 %: exact matches only.
    EXPECT_EQ(run(0, {{100, 100, 100, 0}, {101, 100, 100, 0}, {100, 100, 99, 0}}), "P..");
    // 99 % -> 253, 100 % -> 256: everything.
    auto far = [&](int tolerance) {
        return passes({{0, 0, 0, 0}, {255, 255, 255, 0}, {255, 0, 255, 0}}, 0, [&](const std::uint8_t* b) {
            PLR_CreateMaskFromRGBAImageColorRange(b, 255, 255, 0, tolerance, 255);
        });
    };
    EXPECT_EQ(far(100), "PPP");
    EXPECT_EQ(far(99), "...");
    EXPECT_EQ(passes({{0, 0, 2, 0}, {0, 0, 3, 0}}, 0,
                     [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageColorRange(b, 255, 255, 255, 99, 255); }),
              "..");
    // Negative tolerances pass nothing; huge ones everything.
    EXPECT_EQ(run(-1, {{100, 100, 100, 0}}), ".");
    EXPECT_EQ(run(INT32_MAX, {{0, 255, 0, 0}}), "P");
    EXPECT_EQ(run(INT32_MIN, {{100, 100, 100, 0}}), ".");
}

TEST_F(MaskBuilders, AlphaRangeAndAlphaReplaceEdges) {
    const std::vector<Rgba> px = {{0, 0, 0, 101}, {0, 0, 0, 100}, {9, 9, 9, 255}, {0, 0, 0, 200}, {0, 0, 0, 0}};
    EXPECT_EQ(passes(px, 0, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageAlphaRange(b, 200, 39, 255); }),
              "P.PP.");
    EXPECT_EQ(passes(px, 0, [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageAlphaRange(b, 200, 100, 255); }),
              "PPPPP");

    makePage(5, 1);
    std::vector<std::uint8_t> b = bytes(px);
    PLR_ReplaceFromRGBAImageAlphaRange(b.data(), 200, 39, 1, 2, 3, 4);
    EXPECT_EQ(b, bytes({{1, 2, 3, 4}, {0, 0, 0, 100}, {1, 2, 3, 4}, {1, 2, 3, 4}, {0, 0, 0, 0}}));
    b = bytes(px);
    PLR_ReplaceFromRGBAImageAlphaRange(b.data(), 0, 0, 0x101, 0x102, 0x103, 0x1FF);  // low bytes
    EXPECT_EQ(b[16], 1);
    EXPECT_EQ(b[19], 0xFF);
    EXPECT_EQ(b[3], 101);
}

TEST_F(MaskBuilders, LuminanceRangeTruncatesEachMeanBeforeSubtracting) {
    // Reference mean (30 + 60 + 91) / 3 = 60 (from 60.33); 10 % -> 25.
    const std::vector<Rgba> px = {
        {84, 85, 87, 0},   // mean 85: distance 25, passes
        {85, 86, 87, 0},   // mean 86: 26, fails
        {35, 35, 36, 0},   // mean 35: 25, passes
        {34, 35, 35, 0},   // mean 34 (34.67): 26 fails; untruncated 25.67 would pass
        {0, 180, 0, 0},    // mean 60: passes whatever the spread
    };
    EXPECT_EQ(passes(px, 0,
                     [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageLuminanceRange(b, 30, 60, 91, 10, 255); }),
              "P.P.P");
}

TEST_F(MaskBuilders, HueRangeWrapsOnBothSidesOfZero) {
    // Reference red, hue 0; 10 % -> hd = 18. Hues: (255, g, 0) = 60g/255, (255, 0, b) = 360 - 60b/255.
    const std::vector<Rgba> px = {
        {255, 80, 0, 0},   // 18.82 -> trunc 18: passes
        {255, 81, 0, 0},   // 19.06: fails
        {255, 0, 80, 0},   // 341.18: third form -18.82 -> -18, passes
        {255, 0, 81, 0},   // 340.94: -19, fails
        {255, 0, 43, 0},   // 349.88: -10, passes
        {0, 255, 255, 0},  // 180: fails
        {70, 70, 70, 0},   // grey, hue -1: |-1 - 0| = 1 passes
    };
    auto run = [&](int r, int g, int b, int tolerance) {
        return passes(px, 0, [&](const std::uint8_t* buf) {
            PLR_CreateMaskFromRGBAImageHueRange(buf, r, g, b, tolerance, 255);
        });
    };
    EXPECT_EQ(run(255, 0, 0, 10), "P.P.P.P");
    // The second form: reference hue 349.88 (255, 0, 43); pixel hues 8.47, 8.71, 8.94.
    EXPECT_EQ(passes({{255, 36, 0, 0}, {255, 37, 0, 0}, {255, 38, 0, 0}, {255, 0, 43, 0}}, 0,
                     [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageHueRange(b, 255, 0, 43, 10, 255); }),
              "PP.P");
    // 0 %: greys need |-1 - 0| <= 0, they fail; red itself passes.
    EXPECT_EQ(run(255, 0, 0, 0), ".......");
    EXPECT_EQ(passes({{255, 0, 0, 0}, {9, 9, 9, 0}}, 0,
                     [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageHueRange(b, 255, 0, 0, 0, 255); }),
              "P.");
    // A grey reference (hue -1) takes greys at 0 % and red at 1 % (hd 1).
    EXPECT_EQ(run(100, 100, 100, 0), "......P");
    EXPECT_EQ(passes({{255, 0, 0, 0}, {9, 9, 9, 0}, {0, 255, 0, 0}}, 0,
                     [](const std::uint8_t* b) { PLR_CreateMaskFromRGBAImageHueRange(b, 100, 100, 100, 1, 255); }),
              "PP.");
    // 100 %: 180 degrees either way, everything.
    EXPECT_EQ(run(0, 0, 255, 100), "PPPPPPP");
    EXPECT_EQ(run(128, 128, 128, 100), "PPPPPPP");
}

TEST_F(MaskBuilders, HslRangeUsesAnUntruncatedHueToleranceAndFractions) {
    // Reference red: hue 0, s 1, l 0.5. Hue tolerance 0.1 -> 18 degrees.
    const std::vector<Rgba> px = {
        {255, 80, 0, 0},     // hue 18.82 -> 18: passes
        {255, 81, 0, 0},     // 19.06: fails
        {255, 128, 128, 0},  // hue 0, s 1, l 0.751: lightness 0.251 away
        {200, 50, 50, 0},    // hue 0, s 0.6, l 0.490
        {128, 128, 128, 0},  // grey: hue 0, s 0
    };
    auto run = [&](double hueTol, double satTol, double lightTol) {
        return passes(px, 0, [&](const std::uint8_t* b) {
            PLR_CreateMaskFromRGBAImageHSLRange(b, 255, 0, 0, hueTol, satTol, lightTol, 255);
        });
    };
    EXPECT_EQ(run(0.1, 1.0, 1.0), "P.PPP");
    EXPECT_EQ(run(0.1, 1.0, 0.25), "P..PP");
    EXPECT_EQ(run(0.1, 1.0, 0.26), "P.PPP");
    EXPECT_EQ(run(0.1, 0.39, 1.0), "P.P..");
    EXPECT_EQ(run(0.1, 0.41, 1.0), "P.PP.");
    // 0.1 * 180 = 18 exactly; 0.105 * 180 = 18.9 still rejects a truncated 19.
    EXPECT_EQ(run(0.105, 1.0, 1.0), "P.PPP");
    EXPECT_EQ(run(0.106, 1.0, 1.0), "PPPPP");
    EXPECT_EQ(run(0.0, 0.0, 0.0), ".....");
}

TEST_F(MaskBuilders, MemoFormsOfTheHueBuildersMatchThePlainForms) {
    std::mt19937 rng(7);
    const std::size_t n = 50000;
    std::vector<std::uint8_t> px(4 * n);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t* p = &px[4 * i];
        if (i > 0 && rng() % 3 == 0) {
            std::copy_n(p - 4, 4, p);
            continue;
        }
        for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(rng() % 4 == 0 ? (rng() % 2) * 255 : rng());
        if (rng() % 5 == 0) p[1] = p[2] = p[0];
    }
    std::vector<std::uint16_t> base(n);
    for (std::size_t i = 0; i < n; ++i) base[i] = static_cast<std::uint16_t>(rng());
    const int refs[][3] = {{255, 0, 0}, {255, 0, 43}, {90, 90, 90}, {12, 200, 130}};
    for (const auto& r : refs) {
        for (int tol : {0, 1, 10, 37, 100}) {
            std::vector<std::uint16_t> a = base, b = base;
            maskFromHueRangePlain(a.data(), n, px.data(), r[0], r[1], r[2], tol, 0x4200);
            maskFromHueRange(b.data(), n, px.data(), r[0], r[1], r[2], tol, 0x4200);
            ASSERT_EQ(a, b) << tol;
            a = base, b = base;
            maskFromHslRangePlain(a.data(), n, px.data(), r[0], r[1], r[2], tol / 100.0, 0.3, 0.2, 0x4200);
            maskFromHslRange(b.data(), n, px.data(), r[0], r[1], r[2], tol / 100.0, 0.3, 0.2, 0x4200);
            ASSERT_EQ(a, b) << tol;
        }
    }
}

TEST_F(MaskBuilders, MissingBuffersOrPageDoNothing) {
    // No page at all: every builder returns without touching anything.
    const std::uint8_t px[8] = {};
    PLR_CreateMaskFromRGBAImageColor(px, 0, 0, 0, 255);
    PLR_CreateMaskFromRGBAImageHueRange(px, 0, 0, 0, 100, 255);
    PLR_ApplyMaskToAlpha_RGBA32(const_cast<std::uint8_t*>(px));
    makePage(2, 1);
    PLR_CreateMaskFromDiff_RGBA32(nullptr, px, 0);
    PLR_CreateMaskFromDiff_RGBA32(px, nullptr, 0);
    PLR_CreateMaskFromRGBAImageColor(nullptr, 0, 0, 0, 255);
    PLR_CreateMaskFromRGB24ImageColor(nullptr, 0, 0, 0, 255);
    PLR_CreateMaskFromFloodMask(nullptr, 255);
    PLR_CreateMaskFromRGBAImageColorRange(nullptr, 0, 0, 0, 100, 255);
    PLR_CreateMaskFromRGBAImageAlphaRange(nullptr, 0, 100, 255);
    PLR_CreateMaskFromRGBAImageLuminanceRange(nullptr, 0, 0, 0, 100, 255);
    PLR_CreateMaskFromRGBAImageHueRange(nullptr, 0, 0, 0, 100, 255);
    PLR_CreateMaskFromRGBAImageHSLRange(nullptr, 0, 0, 0, 1, 1, 1, 255);
    PLR_ReplaceFromRGBAImageAlphaRange(nullptr, 0, 100, 0, 0, 0, 0);
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{sentinel(0), sentinel(1)}));
}

}  // namespace
}  // namespace plr::test
