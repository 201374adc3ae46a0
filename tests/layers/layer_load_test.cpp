// Loads into layers through the exports, expected values by hand.
#include <cstring>
#include <vector>

#include "engine_fixture.h"
#include "pixel_test_support.h"

namespace plr::test {
namespace {

using LayerLoad = EngineTest;

std::vector<std::uint16_t> channels(std::int32_t slot, std::int32_t x, std::int32_t y) {
    const std::uint16_t* p = px(slot, x, y);
    return {p[0], p[1], p[2], p[3]};
}
using V = std::vector<std::uint16_t>;

TEST_F(LayerLoad, WhiteByteBecomes0xFF00AndReadsBackAs255) {
    makePage(2, 1);
    makeCurrent(2);
    const std::uint8_t white[8] = {255, 255, 255, 255, 255, 255, 255, 255};
    ASSERT_EQ(PLR_LoadRGBA32(white, 8, 0), 1);
    EXPECT_EQ(PLR_GetRed64(0, 0), 0xFF00);
    EXPECT_EQ(PLR_GetAlpha64(1, 0), 0xFF00);
    std::uint8_t back[8] = {};
    EXPECT_EQ(PLR_GetRGBA32(back, 8), 1);
    EXPECT_EQ(std::memcmp(back, white, 8), 0);
}

TEST_F(LayerLoad, BGR24LoadSwapsChannelsAndMakesOpaque) {
    makePage(3, 2);
    makeCurrent(2);
    setPx(2, 0, 1, 1, 2, 3, 4);
    // Five pixels wide, one row: cut to the page's three columns.
    const std::uint8_t bgr[15] = {10, 20, 30, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13};
    ASSERT_EQ(PLR_Load(bgr, 15, 5, 1), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{30 * 256, 20 * 256, 10 * 256, 0xFFFF}));
    EXPECT_EQ(channels(2, 2, 0), (V{6 * 256, 5 * 256, 4 * 256, 0xFFFF}));
    EXPECT_EQ(channels(2, 0, 1), (V{1, 2, 3, 4}));  // row 1 not in the source
}

TEST_F(LayerLoad, TransparentSourceWritesZeroUnlessAlphaLocked) {
    makePage(2, 1);
    setPx(2, 0, 0, 100, 200, 300, 0x4000);
    setPx(2, 1, 0, 100, 200, 300, 0x4000);
    const std::uint8_t src[8] = {10, 20, 30, 0, 40, 50, 60, 7};
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 8, 2, 0, 0, 2, 1, 0), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{0, 0, 0, 0}));
    EXPECT_EQ(channels(2, 1, 0), (V{40 * 256, 50 * 256, 60 * 256, 7 * 256}));

    setPx(2, 0, 0, 100, 200, 300, 0x4000);
    page().layers[2].alphaLock = 1;
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 8, 2, 0, 0, 2, 1, 0), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{10 * 256, 20 * 256, 30 * 256, 0x4000}));
    EXPECT_EQ(channels(2, 1, 0), (V{40 * 256, 50 * 256, 60 * 256, 7 * 256}));  // alpha kept from before
}

// A 5 x 3 source whose pixel (c, r) is (c, r, 9, 255): where each lands shows the clipping.
std::vector<std::uint8_t> labelledSource() {
    std::vector<std::uint8_t> s(5 * 3 * 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c) {
            std::uint8_t* p = &s[(r * 5 + c) * 4];
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(r);
            p[2] = 9;
            p[3] = 255;
        }
    return s;
}

TEST_F(LayerLoad, NegativeOriginSkipsSourceColumnsAndRows) {
    makePage(4, 3);
    const auto src = labelledSource();
    ASSERT_EQ(PLR_LoadRGBA32Layer(src.data(), 20, 2, -3, -1, 5, 3, 0), 1);
    // Source columns 3, 4 of rows 1, 2 land at layer (0..1, 0..1).
    EXPECT_EQ(channels(2, 0, 0), (V{3 * 256, 1 * 256, 9 * 256, 0xFF00}));
    EXPECT_EQ(channels(2, 1, 1), (V{4 * 256, 2 * 256, 9 * 256, 0xFF00}));
    EXPECT_EQ(channels(2, 2, 0), (V{0, 0, 0, 0}));  // past the source's width
    EXPECT_EQ(channels(2, 0, 2), (V{0, 0, 0, 0}));  // past the source's height
}

TEST_F(LayerLoad, RectanglePastTheRightAndBottomEdgesIsCut) {
    makePage(4, 3);
    const auto src = labelledSource();
    ASSERT_EQ(PLR_LoadRGBA32Into(src.data(), 20, 2, 2, 1, 5, 3), 1);
    EXPECT_EQ(channels(2, 2, 1), (V{0, 0, 9 * 256, 0xFF00}));
    EXPECT_EQ(channels(2, 3, 2), (V{1 * 256, 1 * 256, 9 * 256, 0xFF00}));
    EXPECT_EQ(channels(2, 1, 1), (V{0, 0, 0, 0}));
    // Entirely outside: nothing written, still a load that ran.
    ASSERT_EQ(PLR_LoadRGBA32Layer(src.data(), 20, 2, 4, 0, 5, 3, 0), 1);
    ASSERT_EQ(PLR_LoadRGBA32Layer(src.data(), 20, 2, -5, 0, 5, 3, 0), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{0, 0, 0, 0}));
}

TEST_F(LayerLoad, MaskHighByteZeroLeavesThePixelAndFullHighByteCopies) {
    makePage(3, 1);
    setPx(2, 0, 0, 1, 2, 3, 4);
    setPx(2, 1, 0, 1, 2, 3, 4);
    setPx(2, 2, 0, 1, 2, 3, 4);
    page().mask.plane[0] = 0x00FF;  // h = 0
    page().mask.plane[1] = 0xFF00;  // h = 255
    page().mask.plane[2] = 0x00FF;
    const std::uint8_t src[12] = {50, 60, 70, 80, 50, 60, 70, 80, 50, 60, 70, 80};
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 12, 2, 0, 0, 3, 1, 1), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{1, 2, 3, 4}));
    EXPECT_EQ(channels(2, 1, 0), (V{50 * 256, 60 * 256, 70 * 256, 80 * 256}));
    // Without the flag the mask is not consulted.
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 12, 2, 0, 0, 3, 1, 0), 1);
    EXPECT_EQ(channels(2, 2, 0), (V{50 * 256, 60 * 256, 70 * 256, 80 * 256}));
    // Mask switched off: no coverage even with the flag.
    setPx(2, 0, 0, 1, 2, 3, 4);
    page().mask.enabled = 0;
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 12, 2, 0, 0, 3, 1, 1), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{50 * 256, 60 * 256, 70 * 256, 80 * 256}));
}

TEST_F(LayerLoad, PartialCoverageFollowsTheDestinationAndSourceAlpha) {
    makePage(4, 1);
    for (int i = 0; i < 4; ++i) page().mask.plane[i] = 0x7F00;  // f = 32767
    setPx(2, 0, 0, 0x1000, 0x2000, 0x3000, 0);                  // transparent destination
    setPx(2, 1, 0, 0x1000, 0x2000, 0x3000, 0x8000);             // transparent source
    setPx(2, 2, 0, 0, 0xFFFF, 0x1234, 0xFFFF);                  // both present: blend
    setPx(2, 3, 0, 0x1000, 0x2000, 0x3000, 0x8000);
    const std::uint8_t src[16] = {200, 100, 50, 200, 200, 100, 50, 0, 255, 0, 100, 255, 1, 1, 1, 0};
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 16, 2, 0, 0, 4, 1, 1), 1);
    // 200 * 256 * 32767 = 1677670400 >> 16 = 25599
    EXPECT_EQ(channels(2, 0, 0), (V{200 * 256, 100 * 256, 50 * 256, 25599}));
    // 0x8000 * (65535 - 32767) >> 16 = 16384
    EXPECT_EQ(channels(2, 1, 0), (V{0x1000, 0x2000, 0x3000, 16384}));
    // red (255 * 32767) >> 8 = 32639; green 65535 * 32768 >> 8 >> 8 = 32767;
    // blue (3276700 + 596480) >> 8 = 15129; alpha (8355585 + 8388480) >> 8 = 65406
    EXPECT_EQ(channels(2, 2, 0), (V{32639, 32767, 15129, 65406}));

    // Alpha lock: colour follows the same rules, alpha stays.
    setPx(2, 0, 0, 0x1000, 0x2000, 0x3000, 0);
    setPx(2, 2, 0, 0, 0xFFFF, 0x1234, 0xFFFF);
    page().layers[2].alphaLock = 1;
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 16, 2, 0, 0, 4, 1, 1), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{200 * 256, 100 * 256, 50 * 256, 0}));
    EXPECT_EQ(channels(2, 2, 0), (V{32639, 32767, 15129, 0xFFFF}));
    EXPECT_EQ(channels(2, 3, 0), (V{0x1000, 0x2000, 0x3000, 16384}));  // faded by the first load only
}

TEST_F(LayerLoad, FullCoverageWritesEvenATransparentSourceColour) {
    makePage(1, 1);
    setPx(2, 0, 0, 1, 2, 3, 0x5000);
    const std::uint8_t src[4] = {10, 20, 30, 0};
    ASSERT_EQ(PLR_LoadRGBA32Into(src, 4, 2, 0, 0, 1, 1), 1);  // mask open: f = 0xFFFF
    EXPECT_EQ(channels(2, 0, 0), (V{10 * 256, 20 * 256, 30 * 256, 0}));
}

TEST_F(LayerLoad, TextureLimitsTheLoad) {
    makePage(2, 1);
    page().mask.enabled = 0;
    makeTexture(200);       // t >= 128: full
    page().texture[1] = 0;  // t = 0: nothing
    setPx(2, 1, 0, 1, 2, 3, 4);
    const std::uint8_t src[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    ASSERT_EQ(PLR_LoadRGBA32Layer(src, 8, 2, 0, 0, 2, 1, 1), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{9 * 256, 9 * 256, 9 * 256, 9 * 256}));
    EXPECT_EQ(channels(2, 1, 0), (V{1, 2, 3, 4}));
}

TEST_F(LayerLoad, RGB24LoadKeepsAlphaAndBlendsUnderTheMask) {
    makePage(2, 1);
    makeCurrent(2);
    setPx(2, 0, 0, 0, 0xFFFF, 0x1234, 0x0777);
    setPx(2, 1, 0, 5, 5, 5, 0x0666);
    page().mask.plane[0] = 0x7F00;  // f = 32767
    page().mask.plane[1] = 0x0080;  // h = 0
    const std::uint8_t rgb[6] = {255, 0, 100, 1, 2, 3};
    ASSERT_EQ(PLR_LoadRGB24(rgb, 6, 1), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{32639, 32767, 15129, 0x0777}));
    EXPECT_EQ(channels(2, 1, 0), (V{5, 5, 5, 0x0666}));
    ASSERT_EQ(PLR_LoadRGB24(rgb, 6, 0), 1);
    EXPECT_EQ(channels(2, 1, 0), (V{1 * 256, 2 * 256, 3 * 256, 0x0666}));
}

TEST_F(LayerLoad, RGB24ToAlphaSkipsTransparentPixelsAndUsesVariantB) {
    makePage(3, 1);
    makeCurrent(2);
    setPx(2, 0, 0, 1, 2, 3, 0);
    setPx(2, 1, 0, 1, 2, 3, 0xFFFF);
    setPx(2, 2, 0, 1, 2, 3, 0xFFFF);
    page().mask.plane[1] = 0x8000;  // variant B: 32768 * 65535 >> 16 = 32767
    page().mask.plane[2] = 0x00FF;  // variant B uses the low byte: f = 254
    const std::uint8_t rgb[9] = {200, 7, 7, 200, 7, 7, 200, 7, 7};
    ASSERT_EQ(PLR_LoadRGB24ToAlpha(rgb, 9, 1), 1);
    EXPECT_EQ(channels(2, 0, 0), (V{1, 2, 3, 0}));
    // (200 * 32767 + (65535 * 32768 >> 8)) >> 8 = (6553400 + 8388480) >> 8 = 58366
    EXPECT_EQ(channels(2, 1, 0), (V{1, 2, 3, 58366}));
    // 65535 * 65281 = 4278190335; (200 * 254 + (4278190335 >> 8)) >> 8 = (50800 + 16711680) >> 8 = 65478
    EXPECT_EQ(channels(2, 2, 0), (V{1, 2, 3, 65478}));
    ASSERT_EQ(PLR_LoadRGB24ToAlpha(rgb, 9, 0), 1);
    EXPECT_EQ(channels(2, 1, 0), (V{1, 2, 3, 200 * 256}));
    EXPECT_EQ(channels(2, 0, 0), (V{1, 2, 3, 0}));
}

TEST_F(LayerLoad, SixtyFourBitCopies) {
    makePage(2, 2);
    std::vector<std::uint8_t> rows(2 * 24);  // rows of 24 bytes: 16 of pixels, 8 of padding
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(PLR_SetRGBA64Layer(rows.data(), 24, 2), 2);  // answers the page height
    EXPECT_EQ(std::memcmp(px(2, 0, 1), rows.data() + 24, 16), 0);
    std::vector<std::uint8_t> raw(2 * 2 * 8, 0x5A);
    EXPECT_EQ(PLR_SetLayerData(raw.data(), 2), 1);
    EXPECT_EQ(px(2, 1, 1)[3], 0x5A5A);
}

TEST_F(LayerLoad, RefusalsTouchNothing) {
    makePage(2, 2, {2});
    createLayer(page(), 4, 3, 2);  // another size than the page
    const std::uint8_t src[64] = {1, 2, 3, 4};
    EXPECT_EQ(PLR_LoadRGBA32Layer(src, 8, 64, 0, 0, 1, 1, 0), 0);
    EXPECT_EQ(PLR_LoadRGBA32Layer(src, 8, -1, 0, 0, 1, 1, 0), 0);
    EXPECT_EQ(PLR_LoadRGBA32Layer(nullptr, 8, 2, 0, 0, 1, 1, 0), 0);
    EXPECT_EQ(PLR_LoadRGBA32Layer(src, 8, 3, 0, 0, 1, 1, 0), 0);  // no pixels
    EXPECT_EQ(PLR_LoadRGBA32Layer(src, 8, 4, 0, 0, 1, 1, 0), 0);  // wrong size
    for (std::size_t i = 0; i < page().layers[4].pixels.size(); ++i) ASSERT_EQ(page().layers[4].pixels[i], 0);
    EXPECT_EQ(PLR_LoadRGBA32Layer(src, 8, 2, 0, 0, -1, -1, 0), 1);  // negative size: nothing to do
    EXPECT_EQ(px(2, 0, 0)[0], 0);
    // No current layer.
    EXPECT_EQ(PLR_LoadRGBA32(src, 8, 0), 0);
    EXPECT_EQ(PLR_LoadRGB24(src, 8, 0), 0);
    EXPECT_EQ(PLR_LoadRGB24ToAlpha(src, 8, 0), 0);
    EXPECT_EQ(PLR_Load(src, 8, 1, 1), 0);
    makeCurrent(4);  // current layer of the wrong size
    EXPECT_EQ(PLR_LoadRGBA32(src, 8, 0), 0);
    EXPECT_EQ(PLR_Load(src, 6, 2, 2), 0);
    EXPECT_EQ(PLR_SetRGBA64Layer(src, 16, 4), 0);
    EXPECT_EQ(PLR_SetLayerData(src, 4), 0);
    EXPECT_EQ(PLR_SetLayerData(nullptr, 2), 0);
    for (std::size_t i = 0; i < page().layers[4].pixels.size(); ++i) ASSERT_EQ(page().layers[4].pixels[i], 0);
}

TEST_F(LayerLoad, PageOfSizeZeroLoadsNothing) {
    PLR_CreateImage(nullptr, 0, 0, 4, 0);
    createLayer(page(), 2, 0, 0);
    makeCurrent(2);
    const std::uint8_t src[4] = {1, 2, 3, 4};
    EXPECT_EQ(PLR_LoadRGBA32Layer(src, 4, 2, 0, 0, 1, 1, 1), 0);
    EXPECT_EQ(PLR_LoadRGBA32(src, 4, 1), 0);
    EXPECT_EQ(PLR_LoadRGB24(src, 3, 1), 0);
    EXPECT_EQ(PLR_SetRGBA64Layer(src, 8, 2), 0);
}

}  // namespace
}  // namespace plr::test
