// Reads out of layers, host buffer conversions, clears and single pixels.
#include <cstring>
#include <vector>

#include "engine_fixture.h"
#include "pixel_test_support.h"

namespace plr::test {
namespace {

using LayerRead = EngineTest;
using V8 = std::vector<std::uint8_t>;
using V16 = std::vector<std::uint16_t>;

V16 channels(std::int32_t slot, std::int32_t x, std::int32_t y) {
    const std::uint16_t* p = px(slot, x, y);
    return {p[0], p[1], p[2], p[3]};
}

TEST_F(LayerRead, HighByteRuleAndStridePaddingKept) {
    makePage(2, 2);
    makeCurrent(2);
    setPx(2, 0, 0, 0xFFFF, 0xFEFF, 0x00FF, 0x0100);
    setPx(2, 1, 1, 0x1234, 0xABCD, 0x8000, 0xFFFF);
    V8 rgba(2 * 10, 0xEE);
    EXPECT_EQ(PLR_GetRGBA32Layer(rgba.data(), 10, 2), 2);
    EXPECT_EQ(V8(rgba.begin(), rgba.begin() + 4), (V8{0xFF, 0xFE, 0x00, 0x01}));
    EXPECT_EQ(V8(rgba.begin() + 8, rgba.begin() + 10), (V8{0xEE, 0xEE}));  // padding untouched
    EXPECT_EQ(V8(rgba.begin() + 14, rgba.begin() + 18), (V8{0x12, 0xAB, 0x80, 0xFF}));
    V8 rgb(2 * 7, 0xEE);
    EXPECT_EQ(PLR_GetRGB24(rgb.data(), 7), 2);
    EXPECT_EQ(V8(rgb.begin(), rgb.begin() + 3), (V8{0xFF, 0xFE, 0x00}));
    EXPECT_EQ(rgb[6], 0xEE);
    EXPECT_EQ(V8(rgb.begin() + 10, rgb.begin() + 13), (V8{0x12, 0xAB, 0x80}));
    EXPECT_EQ(PLR_GetRGB24Layer(rgb.data(), 7, 2), 2);
    EXPECT_EQ(PLR_GetRGB24FromAlpha(rgb.data(), 7), 2);
    EXPECT_EQ(V8(rgb.begin(), rgb.begin() + 3), (V8{1, 1, 1}));
    EXPECT_EQ(V8(rgb.begin() + 10, rgb.begin() + 13), (V8{0xFF, 0xFF, 0xFF}));
}

TEST_F(LayerRead, SixtyFourBitReadsAndRectangles) {
    makePage(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) setPx(2, x, y, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), 7, 8);
    V16 all(3 * 2 * 4);
    EXPECT_EQ(PLR_GetRGBA64Layer(all.data(), 24, 2), 2);
    EXPECT_EQ(V16(all.begin() + 20, all.end()), (V16{2, 1, 7, 8}));
    V16 raw(3 * 2 * 4);
    EXPECT_EQ(PLR_GetLayerData(raw.data(), 2), 1);
    EXPECT_EQ(raw, all);

    // Rect (1, 1, 2, 1) into a one-row destination.
    V16 rect(2 * 4, 0xEEEE);
    EXPECT_EQ(PLR_GetRGBA64LayerRect(rect.data(), 16, 2, 1, 1, 2, 1), 1);
    EXPECT_EQ(rect, (V16{1, 1, 7, 8, 2, 1, 7, 8}));
    // A rectangle reaching outside the layer reads only its inside part and
    // keeps every destination pixel in its place.
    V16 out(3 * 3 * 4, 0xEEEE);
    EXPECT_EQ(PLR_GetRGBA64LayerRect(out.data(), 24, 2, -1, 1, 3, 3), 1);
    EXPECT_EQ(V16(out.begin(), out.begin() + 4), (V16{0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE}));
    EXPECT_EQ(V16(out.begin() + 4, out.begin() + 12), (V16{0, 1, 7, 8, 1, 1, 7, 8}));
    EXPECT_EQ(out[12], 0xEEEE);  // rows past the layer untouched
    EXPECT_EQ(out.back(), 0xEEEE);
}

TEST_F(LayerRead, RefusalsWriteNothing) {
    makePage(2, 2);
    createLayer(page(), 5, 1, 1);
    V8 dst(64, 0xEE);
    EXPECT_EQ(PLR_GetRGBA32Layer(dst.data(), 8, 64), 0);
    EXPECT_EQ(PLR_GetRGBA32Layer(dst.data(), 8, -3), 0);
    EXPECT_EQ(PLR_GetRGBA32Layer(dst.data(), 8, 3), 0);  // no pixels
    EXPECT_EQ(PLR_GetRGBA32Layer(dst.data(), 8, 5), 0);  // another size
    EXPECT_EQ(PLR_GetRGBA32Layer(nullptr, 8, 2), 0);
    EXPECT_EQ(PLR_GetRGBA32(dst.data(), 8), 0);  // no current layer
    EXPECT_EQ(PLR_GetRGB24(dst.data(), 6), 0);
    EXPECT_EQ(PLR_GetRGB24FromAlpha(dst.data(), 6), 0);
    EXPECT_EQ(PLR_GetRGBA64Layer(dst.data(), 16, 5), 0);
    EXPECT_EQ(PLR_GetRGBA64LayerRect(dst.data(), 16, 5, 0, 0, 1, 1), 0);
    EXPECT_EQ(PLR_GetLayerData(dst.data(), 70), 0);
    EXPECT_EQ(dst, V8(64, 0xEE));
}

TEST_F(LayerRead, HostBufferConversions) {
    PLR_CreateImage(nullptr, 2, 1, 4, 0);
    // A 3 x 2 RGBA64 source; pixel (x, y) = (0x1100 * x + 0xFF, 0x2200 + y * 0x100, 0x3300, 0xFFFF).
    V16 src(3 * 2 * 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            std::uint16_t* p = &src[(y * 3 + x) * 4];
            p[0] = static_cast<std::uint16_t>(0x1100 * x + 0xFF);
            p[1] = static_cast<std::uint16_t>(0x2200 + y * 0x100);
            p[2] = 0x3300;
            p[3] = 0xFFFF;
        }
    V8 out(2 * 4, 0xEE);
    // Rect (1, 1, 2, 1) of a source 3 pixels a row, packed destination.
    EXPECT_EQ(PLR_RGBA64RectToRGBA32(src.data(), 1, 1, 2, 1, 3, 0, out.data()), 1);
    EXPECT_EQ(out, (V8{0x11, 0x23, 0x33, 0xFF, 0x22, 0x23, 0x33, 0xFF}));
    V8 out24(2 * 3, 0xEE);
    EXPECT_EQ(PLR_RGBA64RectToRGBA24(src.data(), 1, 0, 2, 1, 3, 0, out24.data()), 1);
    EXPECT_EQ(out24, (V8{0x11, 0x22, 0x33, 0x22, 0x22, 0x33}));
    EXPECT_EQ(PLR_RGBA64RectToRGBA32(src.data(), 2, 0, 2, 1, 3, 0, out.data()), 0);  // row too short
    EXPECT_EQ(PLR_RGBA64RectToRGBA32(src.data(), -1, 0, 1, 1, 3, 0, out.data()), 0);
    EXPECT_EQ(PLR_RGBA64RectToRGBA32(nullptr, 0, 0, 1, 1, 3, 0, out.data()), 0);

    // Block forms: x and y do not move either pointer.
    V8 block(2 * 5, 0xEE);
    EXPECT_EQ(PLR_GetRGBA32FromRGBA64Rect(block.data(), 5, src.data(), 24, 40, 50, 1, 2), 1);
    EXPECT_EQ(block, (V8{0x00, 0x22, 0x33, 0xFF, 0xEE, 0x00, 0x23, 0x33, 0xFF, 0xEE}));
    V8 block24(2 * 3, 0xEE);
    EXPECT_EQ(PLR_GetRGB24FromRGBA64Rect(block24.data(), 3, src.data(), 24, 9, 9, 1, 2), 1);
    EXPECT_EQ(block24, (V8{0x00, 0x22, 0x33, 0x00, 0x23, 0x33}));
    V8 whole(3 * 4, 0xEE);
    EXPECT_EQ(PLR_GetRGBA32FromRGBA64(whole.data(), 12, 3, 1, src.data(), 24), 1);
    EXPECT_EQ(whole[8], 0x22);
    EXPECT_EQ(PLR_GetRGBA32FromRGBA64(whole.data(), 12, -3, 1, src.data(), 24), 0);
    // Page-sized (2 x 1 here).
    V8 pageRgb(2 * 3, 0xEE);
    EXPECT_EQ(PLR_GetRGB24FromRGBA64(pageRgb.data(), 6, src.data(), 24), 1);
    EXPECT_EQ(pageRgb, (V8{0x00, 0x22, 0x33, 0x11, 0x22, 0x33}));
}

TEST_F(LayerRead, ClearsAndFills) {
    makePage(2, 2);
    makeCurrent(2);
    EXPECT_EQ(PLR_Clear(255, 1, 0, 128), 1);
    EXPECT_EQ(channels(2, 1, 1), (V16{0xFF00, 0x0100, 0, 0x8000}));

    // Through the mask: open, partial, protected.
    page().mask.plane[0] = 0xFFFF;
    page().mask.plane[1] = 0x8000;
    page().mask.plane[2] = 0;
    setPx(2, 1, 0, 0, 0xFFFF, 0x1234, 0x0042);
    EXPECT_EQ(PLR_ClearMasked(255, 0, 100, 9), 1);
    EXPECT_EQ(channels(2, 0, 0), (V16{0xFF00, 0, 100 * 256, 9 * 256}));
    // blend with f = 0x8000: red 255 * 32768 >> 8 >> 8 = 32640; green 65535 * 32767 >> 8 >> 8 = 32766;
    // blue (100 * 32768 + (4660 * 32767 >> 8)) >> 8 = (3276800 + 596461) >> 8 = 15129; alpha opaque
    EXPECT_EQ(channels(2, 1, 0), (V16{32640, 32766, 15129, 0xFFFF}));
    EXPECT_EQ(channels(2, 0, 1), (V16{0xFF00, 0x0100, 0, 0x8000}));  // protected

    page().mask.enabled = 0;
    EXPECT_EQ(PLR_ClearMasked(1, 2, 3, 4), 1);
    EXPECT_EQ(channels(2, 0, 1), (V16{0x100, 0x200, 0x300, 0x400}));

    V16 b64(2 * 10, 0xEEEE);  // rows of 20 bytes: two pixels and two spare values
    EXPECT_EQ(PLR_ClearRGBA64(b64.data(), 20, 0xFFFF, 1, 2, 0x8000), 1);
    EXPECT_EQ(V16(b64.begin(), b64.begin() + 5), (V16{0xFFFF, 1, 2, 0x8000, 0xFFFF}));
    EXPECT_EQ(b64[8], 0xEEEE);
    EXPECT_EQ(b64[10], 0xFFFF);
    V8 b32(2 * 9, 0xEE);
    EXPECT_EQ(PLR_ClearRGBA32(b32.data(), 9, 1, 2, 3, 4), 1);
    EXPECT_EQ(b32, (V8{1, 2, 3, 4, 1, 2, 3, 4, 0xEE, 1, 2, 3, 4, 1, 2, 3, 4, 0xEE}));
    V8 buf(3 * 4 + 1, 0xEE);
    EXPECT_EQ(PLR_ClearRGBA32Buf(buf.data(), 3, 1, 9, 8, 7, 6), 1);
    EXPECT_EQ(V8(buf.begin() + 8, buf.end()), (V8{9, 8, 7, 6, 0xEE}));
    EXPECT_EQ(PLR_ClearRGBA32Buf(buf.data(), -3, 1, 9, 8, 7, 6), 0);
    EXPECT_EQ(PLR_ClearRGBA32Buf(nullptr, 3, 1, 9, 8, 7, 6), 0);
    page().currentLayer = nullptr;
    EXPECT_EQ(PLR_Clear(1, 2, 3, 4), 0);
    EXPECT_EQ(PLR_ClearMasked(1, 2, 3, 4), 0);
    EXPECT_EQ(PLR_ClearMaskedAlpha(1, 2, 3, 4), 0);
}

TEST_F(LayerRead, ClearMaskedAlphaGoesThroughTheCoreLoad) {
    makePage(3, 1);
    makeCurrent(2);
    page().mask.plane[0] = 0xFFFF;
    page().mask.plane[1] = 0x7F00;  // f = 32767
    page().mask.plane[2] = 0x00FF;  // h = 0: untouched
    setPx(2, 1, 0, 0x1000, 0x2000, 0x3000, 0);
    setPx(2, 2, 0, 1, 2, 3, 4);
    EXPECT_EQ(PLR_ClearMaskedAlpha(200, 100, 50, 200), 1);
    EXPECT_EQ(channels(2, 0, 0), (V16{200 * 256, 100 * 256, 50 * 256, 200 * 256}));
    EXPECT_EQ(channels(2, 1, 0), (V16{200 * 256, 100 * 256, 50 * 256, 25599}));  // destination alpha 0 rule
    EXPECT_EQ(channels(2, 2, 0), (V16{1, 2, 3, 4}));
    page().mask.enabled = 0;  // as PLR_Clear
    EXPECT_EQ(PLR_ClearMaskedAlpha(1, 1, 1, 1), 1);
    EXPECT_EQ(channels(2, 2, 0), (V16{0x100, 0x100, 0x100, 0x100}));
}

TEST_F(LayerRead, ClearMaskedAlphaWithoutMemoryReportsAndLeaksNothing) {
    makePage(4, 4);
    makeCurrent(2);
    PLR_SetLastError("");
    mem::injectFailure(1);
    EXPECT_EQ(PLR_ClearMaskedAlpha(1, 2, 3, 4), 0);
    mem::injectFailure(0);
    EXPECT_STREQ(PLR_GetLastError(), "ClearMaskedAlpha Excpt");
    EXPECT_EQ(channels(2, 0, 0), (V16{0, 0, 0, 0}));
    EXPECT_EQ(PLR_ClearMaskedAlpha(1, 2, 3, 4), 1);  // the engine is still usable
    EXPECT_EQ(channels(2, 3, 3), (V16{0x100, 0x200, 0x300, 0x400}));
}

TEST_F(LayerRead, SinglePixels) {
    makePage(3, 2, {0, 2, 5});
    makeCurrent(2);
    setPx(2, 0, 0, 0x1280, 0x34FF, 0x5600, 0x7801);
    setPx(2, 2, 1, 0xAA00, 0xBB00, 0xCC00, 0xDD00);
    EXPECT_EQ(PLR_GetRed64(0, 0), 0x1280);
    EXPECT_EQ(PLR_GetGreen64(0, 0), 0x34FF);
    EXPECT_EQ(PLR_GetBlue64(0, 0), 0x5600);
    EXPECT_EQ(PLR_GetAlpha64(0, 0), 0x7801);
    EXPECT_EQ(PLR_GetRed64(3, 0), 0);
    EXPECT_EQ(PLR_GetRed64(-1, 0), 0);
    EXPECT_EQ(PLR_GetAlpha64(0, 2), 0);

    EXPECT_EQ(PLR_GetRGBAAtSurface(0, 0), 0x12345678u);
    EXPECT_EQ(PLR_GetColorAtSurface(0, 0), 0x78123456u);
    // Clamped into the page for the RGBA form, 0xFFFFFF outside for the colour form.
    EXPECT_EQ(PLR_GetRGBAAtSurface(-5, -5), 0x12345678u);
    EXPECT_EQ(PLR_GetRGBAAtSurface(99, 99), 0xAABBCCDDu);
    EXPECT_EQ(PLR_GetColorAtSurface(3, 0), 0xFFFFFFu);
    EXPECT_EQ(PLR_GetColorAtSurface(0, -1), 0xFFFFFFu);
    EXPECT_EQ(PLR_GetRGBAAt(2, 1, page().layers[2].pixels.data()), 0xAABBCCDDu);
    EXPECT_EQ(PLR_GetColorAt(2, 1, page().layers[2].pixels.data()), 0xDDAABBCCu);
    EXPECT_EQ(PLR_GetRGBAAt(0, 0, nullptr), 0u);
    EXPECT_EQ(PLR_GetColorAt(-1, 0, nullptr), 0u);  // null plane first

    EXPECT_EQ(PLR_GetRGBAAtLayer(2, 1, 2), 0xAABBCCDDu);
    EXPECT_EQ(PLR_GetColorAtLayer(2, 1, 2), 0xDDAABBCCu);
    EXPECT_EQ(PLR_GetRGBAAtLayer(0, 0, 64), 0u);
    EXPECT_EQ(PLR_GetColorAtLayer(0, 0, 3), 0u);  // no pixels
    setPx(0, 1, 1, 0x0100, 0x0200, 0x0300, 0x0400);
    EXPECT_EQ(PLR_GetRGBAAtTrace(1, 1), 0x01020304u);
    EXPECT_EQ(PLR_GetColorAtTrace(1, 1), 0x04010203u);
    page().traceLayer = &page().layers[7];  // no pixels
    EXPECT_EQ(PLR_GetRGBAAtTrace(1, 1), 0u);
    EXPECT_EQ(PLR_GetColorAtTrace(1, 1), 0u);
    std::uint16_t* under = page().history.underPixels.data();
    const std::uint16_t underPixel[4] = {0x0900, 0x00FF, 0x0001, 0xFF00};  // pixel (1, 1)
    std::memcpy(under + 4 * 4, underPixel, sizeof underPixel);
    EXPECT_EQ(PLR_GetRGBAAtUnderLayer(1, 1), 0x090000FFu);
    EXPECT_EQ(PLR_GetColorAtUnderLayer(1, 1), 0xFF090000u);

    page().currentLayer = nullptr;
    EXPECT_EQ(PLR_GetRed64(0, 0), 0);
    EXPECT_EQ(PLR_GetRGBAAtSurface(0, 0), 0u);
    EXPECT_EQ(PLR_GetColorAtSurface(0, 0), 0u);
}

}  // namespace
}  // namespace plr::test
