// The mask applied to exchange-buffer alpha, and the four repacking operations.
#include <gtest/gtest.h>

#include "mask/mask_apply.h"
#include "mask_test_support.h"

namespace plr::test {
namespace {

using MaskApply = MaskTest;

TEST_F(MaskApply, AlphaScalesByTheMaskHighByte) {
    EXPECT_EQ(maskedAlpha(200, 0x8000), 100);  // 200 * 129 >> 8
    EXPECT_EQ(maskedAlpha(200, 0x80FF), 100);
    EXPECT_EQ(maskedAlpha(200, 0x00FF), 0);    // high byte 0 clears
    EXPECT_EQ(maskedAlpha(200, 0xFF00), 200);  // 255 keeps
    EXPECT_EQ(maskedAlpha(255, 0xFE00), 254);  // 255 * 255 >> 8
    EXPECT_EQ(maskedAlpha(255, 0x0100), 1);    // 255 * 2 >> 8

    makePage(3, 1);
    const std::uint16_t m[3] = {0x8000, 0x0080, 0xFFFF};
    PLR_SetMaskData16(m);
    std::vector<std::uint8_t> b = bytes({{1, 2, 3, 200}, {4, 5, 6, 200}, {7, 8, 9, 200}});
    PLR_ApplyMaskToAlpha_RGBA32(b.data());
    EXPECT_EQ(b, bytes({{1, 2, 3, 100}, {4, 5, 6, 0}, {7, 8, 9, 200}}));
    // The disabled switch does not matter here.
    PLR_EnableMask(0);
    PLR_ApplyMaskToAlpha_RGBA32(b.data());
    EXPECT_EQ(b[3], 50);
}

TEST_F(MaskApply, RectangleUsesPagePositionsAndIsCutToThePage) {
    makePage(4, 3);
    std::vector<std::uint16_t> m(12);
    for (int i = 0; i < 12; ++i) m[i] = static_cast<std::uint16_t>((i * 20) << 8);  // high byte 20 * i
    m[0] = 0xFFFF;
    PLR_SetMaskData16(m.data());
    // A 2 x 2 rectangle at page (1, 1) in a buffer with 3-pixel rows.
    std::vector<std::uint8_t> b(3 * 4 * 2, 255);
    PLR_ApplyMaskToAlphaRect_RGBA32(b.data(), 12, 1, 1, 2, 2);
    // Mask index 5 (h = 100), 6 (120), 9 (180), 10 (200): 255 * (h + 1) >> 8.
    EXPECT_EQ(b[3], 255 * 101 >> 8);
    EXPECT_EQ(b[7], 255 * 121 >> 8);
    EXPECT_EQ(b[11], 255);  // third column is not in the rectangle
    EXPECT_EQ(b[12 + 3], 255 * 181 >> 8);
    EXPECT_EQ(b[12 + 7], 255 * 201 >> 8);
    EXPECT_EQ(b[12 + 0], 255);  // colour untouched

    // A rectangle from (-1, -1) to (5, 0): the buffer starts at page (-1, -1),
    // so page (0, 0) is buffer pixel (1, 1); only page row 0 exists in range.
    std::vector<std::uint8_t> c(7 * 4 * 2, 255);
    PLR_ApplyMaskToAlphaRect_RGBA32(c.data(), 28, -1, -1, 5, 0);
    for (int x = 0; x < 7; ++x) EXPECT_EQ(c[4 * x + 3], 255) << x;  // page row -1: outside
    EXPECT_EQ(c[28 + 4 * 0 + 3], 255);                            // page x -1: outside
    EXPECT_EQ(c[28 + 4 * 1 + 3], 255);                            // mask 0xFFFF
    EXPECT_EQ(c[28 + 4 * 2 + 3], 255 * 21 >> 8);
    EXPECT_EQ(c[28 + 4 * 4 + 3], 255 * 61 >> 8);
    EXPECT_EQ(c[28 + 4 * 5 + 3], 255);  // page x 4: outside
    // Empty and inverted rectangles, null buffers: nothing.
    PLR_ApplyMaskToAlphaRect_RGBA32(b.data(), 12, 2, 1, 1, 1);
    PLR_ApplyMaskToAlphaRect_RGBA32(nullptr, 12, 0, 0, 1, 1);
    PLR_ApplyMaskToAlphaRect_RGBA32(b.data(), 12, 9, 9, 12, 12);
    PLR_ApplyMaskToAlpha_RGBA32(nullptr);
    EXPECT_EQ(b[3], 255 * 101 >> 8);
}

TEST_F(MaskApply, RepackingOperations) {
    const std::uint8_t rgba[8] = {1, 2, 3, 4, 10, 20, 31, 40};
    const std::uint8_t rgb[6] = {9, 10, 12, 100, 200, 255};
    std::uint8_t out3[7] = {0, 0, 0, 0, 0, 0, 0xCC};
    PLR_RGBAlphaToRGB(out3, 2, 1, rgba);
    EXPECT_EQ(std::vector<std::uint8_t>(out3, out3 + 7), (std::vector<std::uint8_t>{4, 4, 4, 40, 40, 40, 0xCC}));
    PLR_RGBAToRGB(out3, 1, 2, rgba);
    EXPECT_EQ(std::vector<std::uint8_t>(out3, out3 + 7), (std::vector<std::uint8_t>{1, 2, 3, 10, 20, 31, 0xCC}));

    std::uint8_t out4[9] = {7, 7, 7, 7, 7, 7, 7, 7, 0xCC};
    PLR_RGBToRGBAlpha(out4, 2, 1, rgb);  // (9 + 10 + 12) / 3 = 10, 555 / 3 = 185
    EXPECT_EQ(std::vector<std::uint8_t>(out4, out4 + 9), (std::vector<std::uint8_t>{7, 7, 7, 10, 7, 7, 7, 185, 0xCC}));
    PLR_RGBToRGBA(out4, 2, 1, rgb);
    EXPECT_EQ(std::vector<std::uint8_t>(out4, out4 + 9),
              (std::vector<std::uint8_t>{9, 10, 12, 10, 100, 200, 255, 185, 0xCC}));

    // Bad sizes and null buffers: nothing.
    PLR_RGBToRGBA(out4, 0, 5, rgb);
    PLR_RGBToRGBA(out4, -2, -1, rgb);
    PLR_RGBToRGBA(nullptr, 2, 1, rgb);
    PLR_RGBAToRGB(out3, 2, 1, nullptr);
    PLR_RGBAlphaToRGB(out3, INT32_MAX, INT32_MAX, nullptr);
    PLR_RGBToRGBAlpha(nullptr, 1, 1, rgb);
    EXPECT_EQ(out4[0], 9);
    EXPECT_EQ(out3[0], 1);
}

TEST_F(MaskApply, MaskAndAdjustmentWalksAllocateNothing) {
    makePage(40, 30);
    std::vector<std::uint8_t> rgba(40 * 30 * 4, 90), rgb(40 * 30 * 3, 90);
    mem::injectFailure(1, 1000000);
    PLR_CreateMaskFromRGBAImageHueRange(rgba.data(), 255, 0, 0, 50, 100);
    PLR_CreateMaskFromRGBAImageHSLRange(rgba.data(), 255, 0, 0, 0.5, 0.5, 0.5, 100);
    PLR_CreateMaskFromRGBAImageColorRange(rgba.data(), 90, 90, 90, 10, 100);
    PLR_ProcessBuffer_HSLAdjust(rgba.data(), 40, 30, 10, 10, 10);
    PLR_ProcessBuffer_HSVAdjust(rgba.data(), 40, 30, 10, 10, 10);
    PLR_ApplyMaskToAlpha_RGBA32(rgba.data());
    PLR_SaveMask(rgb.data(), 120);
    PLR_LoadMask(rgb.data(), 120, 40, 30);
    PLR_InvertMask();
    PLR_RGBAToRGB(rgb.data(), 40, 30, rgba.data());
    EXPECT_TRUE(mem::failurePending());  // not one allocation was attempted
    mem::injectFailure(0);
    EXPECT_EQ(mask()[0], 0xFFFF - 0x9B00);  // hue range wrote 155 * 256; saved, loaded, inverted
}

}  // namespace
}  // namespace plr::test
