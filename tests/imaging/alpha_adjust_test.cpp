#include <random>
#include <vector>

#include "engine/threading.h"
#include "engine_fixture.h"
#include "imaging/alpha_premultiply.h"

namespace plr::test {
namespace {

using AlphaAdjust = EngineTest;

TEST_F(AlphaAdjust, EightBitPremultiplyAndDivideFollowTheRoundingRules) {
    std::vector<uint8_t> px = {200, 100, 0, 128,  255, 255, 255, 128,  9, 8, 7, 255,  9, 8, 7, 0};
    PLR_AdjustRGBA32PreFilter(px.data(), 2, 2);
    EXPECT_EQ(px, (std::vector<uint8_t>{100, 50, 0, 128, 128, 128, 128, 128, 9, 8, 7, 255, 9, 8, 7, 0}));
    PLR_AdjustRGBA32PostFilter(px.data(), 2, 2);
    // (100 * 255 / 128 = 199.2); 128 divides back to 255.
    EXPECT_EQ(px, (std::vector<uint8_t>{199, 99, 0, 128, 255, 255, 255, 128, 9, 8, 7, 255, 9, 8, 7, 0}));
}

TEST_F(AlphaAdjust, DivisionIsLimitedAndTheCompositionVariantIncludesOpaque) {
    std::vector<uint8_t> px = {200, 10, 0, 100};
    PLR_AdjustRGBA32PostFilter(px.data(), 1, 1);
    EXPECT_EQ(px, (std::vector<uint8_t>{255, 25, 0, 100}));
    PLR_CreateImage(nullptr, 2, 1, 4, 0);
    std::vector<uint8_t> page2 = {10, 20, 30, 255, 10, 20, 30, 0};
    PLR_AdjustRGBA32ForAlphaComp(0, page2.data());
    EXPECT_EQ(page2[0], 10);
    page2 = {100, 20, 30, 50, 10, 20, 30, 0};
    PLR_AdjustRGBA32ForAlphaComp(1, page2.data());
    EXPECT_EQ(page2, (std::vector<uint8_t>{255, 102, 153, 50, 10, 20, 30, 0}));
}

// The constant 1/255 is a fixed double: in 72 (alpha, value) pairs its
// product truncates differently from the exact fraction. The table-driven
// path must agree with the formula, not with the fraction.
TEST_F(AlphaAdjust, TablePathMatchesTheFormulaForEveryAlphaAndValue) {
    int differsFromExactFraction = 0;
    for (int a = 1; a < 255; ++a)
        for (int v = 0; v < 256; ++v) {
            uint8_t px[4] = {uint8_t(v), uint8_t(255 - v), uint8_t(v / 2), uint8_t(a)};
            premultiplyRGBA32(px, 1);
            ASSERT_EQ(px[0], reference::premultiply8(uint8_t(v), uint8_t(a)));
            ASSERT_EQ(px[1], reference::premultiply8(uint8_t(255 - v), uint8_t(a)));
            differsFromExactFraction += px[0] != a * (v + 1) / 255;
            uint8_t q[4] = {uint8_t(v), 0, 0, uint8_t(a)};
            unpremultiplyRGBA32(q, 1);
            ASSERT_EQ(q[0], std::min(255, v * 255 / a));
        }
    EXPECT_EQ(differsFromExactFraction, 72);
    EXPECT_EQ(reference::premultiply8(84, 33), 10);  // 33 * (1/255) * 85 = 10.99999...
}

// The four-pixel paths against the one-pixel rules: every (value, alpha)
// pair in every channel and pixel position of a group, then random pictures
// mixing transparent, opaque and partial alphas, split over 1, 2 and 7
// threads in chunks of any size.
TEST_F(AlphaAdjust, GroupedPathsMatchThePixelRulesForEveryPairAndThreadCount) {
    std::vector<uint8_t> all;
    for (int a = 0; a < 256; ++a)
        for (int v = 0; v < 256; ++v) {
            const uint8_t px[4] = {uint8_t(v), uint8_t(255 - v), uint8_t(v * 7), uint8_t(a)};
            all.insert(all.end(), px, px + 4);
            // Beside an opaque and a transparent pixel, so the pair meets
            // every position within a group of four.
            if ((v + a) % 5 == 0) all.insert(all.end(), {1, 2, 3, 255, 4, 5, 6, 0});
        }
    std::mt19937 rng(99);
    std::vector<uint8_t> random(4 * 5003);
    for (std::size_t i = 0; i < random.size(); ++i) {
        const uint32_t r = rng();
        random[i] = i % 4 != 3 ? uint8_t(r) : r % 3 == 0 ? 255 : r % 3 == 1 ? 0 : uint8_t(r >> 8);
    }
    for (const std::vector<uint8_t>* picture : {&all, &random})
        for (const int threads : {1, 2, 7}) {
            setThreadCount(threads, true);
            const std::size_t n = picture->size() / 4;
            std::vector<uint8_t> fast = *picture, plain = *picture;
            premultiplyRGBA32(fast.data(), n);
            reference::premultiplyRGBA32(plain.data(), n);
            ASSERT_EQ(fast, plain) << "premultiply at " << threads << " threads";
            fast = plain = *picture;
            unpremultiplyRGBA32(fast.data(), n);
            reference::unpremultiplyRGBA32(plain.data(), n);
            ASSERT_EQ(fast, plain) << "divide at " << threads << " threads";
        }
}

TEST_F(AlphaAdjust, SixteenBitRules) {
    std::vector<uint16_t> px = {0xFFFF, 0x8000, 1, 0x8000,  100, 200, 300, 0xFFFF,  5, 6, 7, 0};
    PLR_AdjustRGBA64PreFilter(px.data(), 3, 1);
    // 0x8000 / 65535 * 0xFFFF = 32768; * 0x8000 = 16384.25...; * 1 = 0.50
    EXPECT_EQ(px[0], 32768);
    EXPECT_EQ(px[1], 16384);
    EXPECT_EQ(px[2], 0);
    EXPECT_EQ(px[4], 100);  // opaque: factor 1.0 exactly
    EXPECT_EQ(px[8], 5);    // transparent: untouched
    std::vector<uint16_t> q = {40000, 30000, 0, 32768};
    PLR_AdjustRGBA64PostFilter(q.data(), 1, 1);
    EXPECT_EQ(q[0], 65535);  // limited
    EXPECT_EQ(q[1], 59999);  // 30000 * 65535 / 32768 = 59999.08
}

TEST_F(AlphaAdjust, MaskAndTextureScaleAlpha) {
    PLR_CreateImage(nullptr, 4, 2, 4, 0);
    std::vector<uint8_t> buf(4 * 2 * 4, 200);
    page().mask.enabled = 0;
    PLR_AdjustRGBA32ByMaskAndTexture(buf.data(), 4, 2);
    EXPECT_EQ(buf, std::vector<uint8_t>(32, 200)) << "no mask, no texture: unchanged";

    page().mask.enabled = 1;
    uint16_t* m = page().mask.plane.data();
    m[0] = 0xFFFF;
    m[1] = 0;
    m[2] = 0x8000;
    m[3] = 0x4000;
    PLR_AdjustRGBA32ByMaskAndTexture(buf.data(), 4, 2);
    EXPECT_EQ(buf[3], 200);
    EXPECT_EQ(buf[7], 0);
    // k = 0xFFFF * 0x8000 / 65536 = 32767; 32767 / 65535 * 200 = 99.998
    EXPECT_EQ(buf[11], 99);
    EXPECT_EQ(buf[15], 49);  // k = 16383
    EXPECT_EQ(buf[19], 200);

    ASSERT_TRUE(page().texture.allocate(8));
    std::fill_n(page().texture.data(), 8, uint8_t{200});
    page().texture[4] = 64;   // (64 * 131070) >> 8 = 32767
    page().texture[5] = 128;  // >= 128: full
    page().mask.enabled = 0;
    std::fill(buf.begin(), buf.end(), uint8_t{255});
    PLR_AdjustRGBA32ByMaskAndTexture(buf.data(), 4, 2);
    EXPECT_EQ(buf[16 + 3], 127);  // 32767 / 65535 * 255 = 127.498
    EXPECT_EQ(buf[20 + 3], 255);
}

TEST_F(AlphaAdjust, RectangleAdjustsOnlyItsOnPagePart) {
    PLR_CreateImage(nullptr, 3, 3, 4, 0);
    std::fill_n(page().mask.plane.data(), 9, uint16_t{0});
    std::vector<uint8_t> buf(2 * 2 * 4, 255);
    // Buffer at (-1, -1): only its bottom-right pixel lies on the page.
    PLR_AdjustRGBA32RectByMaskAndTexture(buf.data(), -1, -1, 2, 2);
    EXPECT_EQ(buf[3], 255);
    EXPECT_EQ(buf[7], 255);
    EXPECT_EQ(buf[11], 255);
    EXPECT_EQ(buf[15], 0);
    // Buffer at (2, 2): its top-left pixel is page pixel (2, 2).
    std::fill(buf.begin(), buf.end(), uint8_t{255});
    page().mask.plane[8] = 0x8000;
    PLR_AdjustRGBA32RectByMaskAndTexture(buf.data(), 2, 2, 2, 2);
    EXPECT_EQ(buf[3], 127);
    EXPECT_EQ(buf[7], 255);
    PLR_AdjustRGBA32RectByMaskAndTexture(nullptr, 0, 0, 2, 2);
    PLR_AdjustRGBA32RectByMaskAndTexture(buf.data(), 5, 5, 2, 2);
    EXPECT_EQ(buf[3], 127);
}

TEST_F(AlphaAdjust, OversizedBufferOnlyTouchesThePageArea) {
    PLR_CreateImage(nullptr, 2, 2, 4, 0);
    std::fill_n(page().mask.plane.data(), 4, uint16_t{0});
    std::vector<uint8_t> buf(3 * 3 * 4, 255);
    PLR_AdjustRGBA32ByMaskAndTexture(buf.data(), 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(buf[(y * 3 + x) * 4 + 3], x < 2 && y < 2 ? 0 : 255) << x << "," << y;
}

}  // namespace
}  // namespace plr::test
