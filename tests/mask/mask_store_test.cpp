// The mask store: switches, overlay settings and formula, whole-mask
// operations, raw data, the masking amount, grey RGB24 save and load, and the
// conversions with the current layer.
#include <gtest/gtest.h>

#include "mask/mask_overlay.h"
#include "mask_test_support.h"

namespace plr::test {
namespace {

using MaskStore = MaskTest;

void fillMask(std::uint16_t v) {
    std::vector<std::uint16_t> m(page().pixelCount(), v);
    PLR_SetMaskData16(m.data());
}

TEST_F(MaskStore, SwitchesTakeTheLowByteAndOptionsAreWidened) {
    PLR_CreateImage(nullptr, 4, 4, 4, 0);
    EXPECT_EQ(page().mask.enabled, 1);
    EXPECT_EQ(page().mask.displayed, 0);
    PLR_EnableMask(0x100);
    EXPECT_EQ(page().mask.enabled, 0);
    PLR_EnableMask(0x101);
    EXPECT_NE(page().mask.enabled, 0);
    PLR_DisplayMask(1);
    EXPECT_NE(page().mask.displayed, 0);
    PLR_DisplayMask(0x200);
    EXPECT_EQ(page().mask.displayed, 0);
    EXPECT_EQ(page().mask.makerOn, 0);
    PLR_SetMaskMakerOn();
    EXPECT_EQ(page().mask.makerOn, 1);

    PLR_SetMaskOptions(255, 0, 128, 1, 0x1FF, 0x12345, -3);
    const MaskOverlaySettings& o = page().mask.overlay;
    EXPECT_EQ(o.colour1[0], 0xFF00);
    EXPECT_EQ(o.colour1[1], 0);
    EXPECT_EQ(o.colour1[2], 0x8000);
    EXPECT_EQ(o.colour2[0], 0x0100);
    EXPECT_EQ(o.colour2[1], 0xFF00);  // only the low byte survives the 16-bit store
    EXPECT_EQ(o.colour2[2], 0x4500);
    EXPECT_EQ(o.solid, -3);
}

TEST_F(MaskStore, OverlayFormulaAndCheckerboard) {
    // Worked by hand: translucent m = 0 uses m' = 0x7FFF.
    EXPECT_EQ(overlayWeight(0, 0), 0x7FFFu);
    EXPECT_EQ(overlayWeight(0xFFFF, 0), 0xFFFEu);
    EXPECT_EQ(overlayWeight(0x8000, 5), 0x8000u);
    EXPECT_EQ(overlayChannel(overlayWeight(0, 0), 0xFF00, 0xFF00), 254);
    EXPECT_EQ(overlayChannel(overlayWeight(0, 0), 0, 0xFF00), 127);
    EXPECT_EQ(overlayChannel(overlayWeight(0, 0), 0xFF00, 0), 127);
    EXPECT_EQ(overlayChannel(overlayWeight(0, 1), 0, 0xFF00), 254);
    EXPECT_EQ(overlayChannel(overlayWeight(0x8000, 0), 0x1234, 0xAB00), 56);
    EXPECT_EQ(overlayChannel(overlayWeight(0x8000, 1), 0x1234, 0xAB00), 94);

    MaskOverlaySettings s;
    s.colour1[0] = 0xFF00;  // red
    s.colour2[2] = 0xFF00;  // blue
    s.solid = 1;
    const std::uint16_t composed[3] = {0x8000, 0x4000, 0x2000};
    std::uint8_t out[3];
    overlayPixel(s, 0, composed, 1, 0, out);  // odd cell: colour 1
    EXPECT_EQ(out[0], 254);
    EXPECT_EQ(out[2], 0);
    overlayPixel(s, 0, composed, 1, 1, out);  // even cell: colour 2
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 254);
    overlayPixel(s, 0xFFFF, composed, 0, 0, out);  // open pixels show unchanged
    EXPECT_EQ(out[0], 0x80);
    EXPECT_EQ(out[1], 0x40);
    EXPECT_EQ(out[2], 0x20);
}

TEST_F(MaskStore, ClearMaskMapsTheGreyMean) {
    PLR_CreateImage(nullptr, 3, 2, 4, 0);
    auto clearTo = [](int r, int g, int b) {
        PLR_ClearMask(r, g, b);
        const std::vector<std::uint16_t> m = [] {
            std::vector<std::uint16_t> v(6);
            PLR_GetMaskData16(v.data());
            return v;
        }();
        for (std::uint16_t v : m) EXPECT_EQ(v, m[0]);
        return m[0];
    };
    EXPECT_EQ(clearTo(0, 0, 0), 0xFFFF);
    EXPECT_EQ(clearTo(255, 255, 255), 0xFFFF);
    EXPECT_EQ(clearTo(256, 256, 257), 0xFE00);  // mean 256
    EXPECT_EQ(clearTo(0x8000, 0x8000, 0x8000), 0x7F00);
    EXPECT_EQ(clearTo(0xFF00, 0xFF00, 0xFF02), 0);  // mean 0xFF00
    EXPECT_EQ(clearTo(0xFF01, 0xFF01, 0xFF01), 0);
    EXPECT_EQ(clearTo(0xFFFF, 0xFFFF, 0xFFFF), 0);
    EXPECT_EQ(clearTo(INT32_MAX, INT32_MAX, INT32_MAX), 0);
    EXPECT_EQ(clearTo(-5, 0, 0), 0xFFFF);
}

TEST_F(MaskStore, InvertTwiceIsTheIdentity) {
    makePage(64, 32);
    std::vector<std::uint16_t> m(64 * 32);
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint16_t>(i * 37 + (i & 1 ? 0xFFFF : 0));
    m[0] = 0;
    m[1] = 0xFFFF;
    PLR_SetMaskData16(m.data());
    PLR_InvertMask();
    const std::vector<std::uint16_t> once = mask();
    EXPECT_EQ(once[0], 0xFFFF);
    EXPECT_EQ(once[1], 0);
    EXPECT_EQ(once[5], 0xFFFF - m[5]);
    PLR_InvertMask();
    EXPECT_EQ(mask(), m);
}

TEST_F(MaskStore, MaskAmountNeedsACurrentLayerAnEnabledMaskAndAPointInside) {
    PLR_CreateImage(nullptr, 5, 4, 4, 0);
    fillMask(0x1234);
    EXPECT_EQ(PLR_GetMask64(1, 1), 0);  // no current layer
    ASSERT_EQ(PLR_CreateLayer(2, 5, 4), 1);
    PLR_SetLayer(2);
    EXPECT_EQ(PLR_GetMask64(1, 1), 0xFFFF - 0x1234);
    EXPECT_EQ(PLR_GetMask64(4, 3), 0xFFFF - 0x1234);
    EXPECT_EQ(PLR_GetMask64(5, 0), 0);
    EXPECT_EQ(PLR_GetMask64(0, 4), 0);
    EXPECT_EQ(PLR_GetMask64(-1, 0), 0);
    PLR_EnableMask(0);
    EXPECT_EQ(PLR_GetMask64(1, 1), 0);
    PLR_EnableMask(1);
    fillMask(0xFFFF);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(PLR_GetMask64(x, y), 0);
    PLR_DeleteLayer(2);
    EXPECT_EQ(PLR_GetMask64(1, 1), 0);  // current layer without pixels
}

TEST_F(MaskStore, SaveWritesInvertedHighBytesAndLoadQuantises) {
    // Every 16-bit value once on a 256 x 256 page.
    PLR_CreateImage(nullptr, 256, 256, 4, 0);
    std::vector<std::uint16_t> m(65536);
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint16_t>(i);
    PLR_SetMaskData16(m.data());
    const int stride = 256 * 3 + 5;  // padded rows
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(stride) * 256, 0xEE);
    PLR_SaveMask(rgb.data(), stride);
    EXPECT_EQ(rgb[0], 255);                 // m = 0
    EXPECT_EQ(rgb[3 * 0x80 + 1], 255);      // m = 0x0080, high byte 0
    EXPECT_EQ(rgb[stride * 0x7F + 3 * 0x80], 128);  // m = 0x7F80
    EXPECT_EQ(rgb[stride * 255 + 3 * 255 + 2], 0);  // m = 0xFFFF
    EXPECT_EQ(rgb[256 * 3], 0xEE);          // padding untouched

    fillMask(0x5555);
    PLR_LoadMask(rgb.data(), stride, 256, 256);
    const std::vector<std::uint16_t> back = mask();
    for (std::size_t i = 0; i < back.size(); ++i) {
        const std::uint16_t expected = (i >> 8) == 255 ? 0xFFFF : static_cast<std::uint16_t>(i & 0xFF00);
        ASSERT_EQ(back[i], expected) << i;
    }
    EXPECT_EQ(back[0x7F80], 0x7F00);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(back[0xFFFF], 0xFFFF);
}

TEST_F(MaskStore, LoadMaskAveragesChannelsAndClipsToThePage) {
    makePage(3, 2);
    // 2 x 3 source: pixel (x, y) goes to mask (x, y); column 2 of the page stays.
    const std::uint8_t src[] = {
        10, 20, 31, 0, 0, 0,  // (0,0): 61/3 = 20 -> 0xFF00 - 0x1400; (1,0): 0 -> open
        0, 0, 2, 255, 255, 255,  // (0,1): 2/3 = 0 -> open; (1,1): 255 -> 0
        9, 9, 9, 9, 9, 9,  // row 2: outside the page
    };
    PLR_LoadMask(src, 6, 2, 3);
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{0xEB00, 0xFFFF, sentinel(2), 0xFFFF, 0, sentinel(5)}));
    // Wider than the page: only the part inside is read into place.
    makePage(1, 1);
    PLR_LoadMask(src, 6, 2, 3);
    EXPECT_EQ(mask()[0], 0xEB00);
    PLR_LoadMask(nullptr, 6, 1, 1);
    PLR_LoadMask(src, 6, -1, 1);
    PLR_LoadMask(src, 6, 1, 0);
    EXPECT_EQ(mask()[0], 0xEB00);
}

TEST_F(MaskStore, LayerConversions) {
    PLR_CreateImage(nullptr, 4, 1, 4, 0);
    ASSERT_EQ(PLR_CreateLayer(2, 4, 1), 1);
    PLR_SetLayer(2);
    std::uint16_t* px = page().layers[2].pixels.data();
    const std::uint16_t m[4] = {0xFFFF, 0, 0x1234, 0x00FF};
    PLR_SetMaskData16(m);

    PLR_CreateImageFromMask();
    const std::uint16_t image[16] = {0, 0, 0, 0xFFFF, 0xFF00, 0xFF00, 0xFF00, 0xFFFF,
                                     0xEDCB, 0xEDCB, 0xEDCB, 0xFFFF, 0xFF00, 0xFF00, 0xFF00, 0xFFFF};
    EXPECT_TRUE(std::equal(image, image + 16, px));

    px[4 * 2 + 0] = 7;
    PLR_CreateAlphaFromMask();
    EXPECT_EQ(px[3], 0xFFFF);
    EXPECT_EQ(px[7], 0);
    EXPECT_EQ(px[11], 0x1234);
    EXPECT_EQ(px[8], 7);  // colour untouched

    px[3] = 0xABCD;
    PLR_CreateMaskFromAlpha();
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{0xABCD, 0, 0x1234, 0x00FF}));

    // Grey means: 255 -> open, 256 -> 0xFE00, 0x8000 -> 0x7F00, above 0xFF00 -> 0.
    const std::uint16_t colours[16] = {255, 255, 256, 1, 256, 256, 257, 1, 0x8000, 0x7000, 0x9000, 1,
                                       0xFFFF, 0xFF00, 0xFF04, 1};
    std::copy_n(colours, 16, px);
    PLR_CreateMaskFromImage();
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{0xFFFF, 0xFE00, 0x7F00, 0}));
    // Luma (3R + 4G + B) >> 3: (765 + 1020 + 256) >> 3 = 255 -> open; (3*256 + 4*256 + 257) >> 3 = 256;
    // (0x18000 + 0x1C000 + 0x9000) >> 3 = 0x7A00 -> 0x8500; (3*0xFFFF + 4*0xFF00 + 0xFF04) >> 3 = 0xFF40 -> 0.
    PLR_CreateMaskFromImageLuma();
    EXPECT_EQ(mask(), (std::vector<std::uint16_t>{0xFFFF, 0xFE00, 0x8500, 0}));
}

TEST_F(MaskStore, LayerConversionsRefuseMissingOrMisSizedLayers) {
    makePage(4, 1);
    PLR_CreateMaskFromAlpha();  // no current layer
    PLR_CreateImageFromMask();
    EXPECT_EQ(mask()[0], sentinel(0));
    ASSERT_EQ(PLR_CreateLayer(3, 5, 1), 1);  // not the page's size
    PLR_SetLayer(3);
    PLR_CreateMaskFromAlpha();
    PLR_CreateMaskFromImage();
    PLR_CreateMaskFromImageLuma();
    PLR_CreateAlphaFromMask();
    PLR_CreateImageFromMask();
    EXPECT_EQ(mask()[0], sentinel(0));
    EXPECT_EQ(page().layers[3].pixels[3], 0);
}

TEST_F(MaskStore, DataExchangeAndNoPage) {
    // Before any page: every export is harmless.
    std::uint16_t buf[4] = {1, 2, 3, 4};
    PLR_GetMaskData16(buf);
    PLR_SetMaskData16(buf);
    PLR_InvertMask();
    PLR_ClearMask(0, 0, 0);
    PLR_SaveMask(reinterpret_cast<std::uint8_t*>(buf), 12);
    PLR_LoadMask(reinterpret_cast<std::uint8_t*>(buf), 3, 1, 1);
    PLR_CreateMaskFromImage();
    EXPECT_EQ(PLR_GetMask64(0, 0), 0);
    EXPECT_EQ(buf[0], 1);
    makePage(2, 2);
    PLR_GetMaskData16(nullptr);
    PLR_SetMaskData16(nullptr);
    PLR_SaveMask(nullptr, 6);
    EXPECT_EQ(mask()[3], sentinel(3));
}

}  // namespace
}  // namespace plr::test
