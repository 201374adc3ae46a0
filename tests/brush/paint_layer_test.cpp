// The paint layer (create, clear, old clear, delete, merge, alpha blur), the
// alpha operations on layers and RGBA32 buffers, and the one-byte-plane blur.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "adapters/imaging/filters_blur_plane.h"
#include "core/alloc.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using Px = std::array<std::uint16_t, 4>;
constexpr std::int32_t kW = 9, kH = 9;

class PaintLayer : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
    }
    static void layer(std::int32_t slot, std::int32_t lock = 0, std::int32_t percent = 100) {
        ASSERT_EQ(PLR_CreateLayer(slot, kW, kH), 1);
        PLR_SetLayerOptions(slot, 1, lock, percent, "Normal");
    }
    static std::uint16_t* paint() { return page().paintLayer.pixels.data(); }
    static std::uint16_t* slot(std::int32_t i) { return page().layers[i].pixels.data(); }
    static void set(std::uint16_t* plane, std::int32_t x, std::int32_t y, Px v) {
        std::memcpy(plane + 4 * (y * kW + x), v.data(), 8);
    }
    static Px at(const std::uint16_t* plane, std::int32_t x, std::int32_t y) {
        Px v;
        std::memcpy(v.data(), plane + 4 * (y * kW + x), 8);
        return v;
    }
    static void bounds(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        page().paintLayer.bounds = Rect{l, t, r, b};
    }
    static void expectEmptyBounds() {
        const Rect& b = page().paintLayer.bounds;
        EXPECT_EQ(b.left, kW);
        EXPECT_EQ(b.top, kH);
        EXPECT_EQ(b.right, 0);
        EXPECT_EQ(b.bottom, 0);
    }
};

TEST_F(PaintLayer, CreateClearsOnlyTheFirstTimeAndStoresSettings) {
    EXPECT_EQ(PLR_CreatePaintLayer(100, "Normal"), 0);
    const LayerRecord& l = page().paintLayer;
    ASSERT_TRUE(l.hasPixelsOfSize(kW, kH));
    EXPECT_EQ(at(paint(), 4, 4), (Px{0, 0, 0, 0}));
    expectEmptyBounds();
    EXPECT_EQ(l.visible, 1);
    EXPECT_EQ(l.alphaLock, 0);
    EXPECT_EQ(l.opacity, 256);
    set(paint(), 4, 4, {1, 2, 3, 4});
    bounds(4, 4, 5, 5);
    page().paintLayer.visible = 0;
    page().paintLayer.alphaLock = 1;
    const std::uint16_t* before = paint();
    EXPECT_EQ(PLR_CreatePaintLayer(50, "Multiply"), 1);
    EXPECT_EQ(paint(), before);  // the pixels are kept...
    EXPECT_EQ(at(paint(), 4, 4), (Px{1, 2, 3, 4}));  // ...and not cleared
    EXPECT_EQ(l.bounds.right, 5);
    EXPECT_EQ(l.opacity, 128);
    EXPECT_EQ(l.visible, 1);
    EXPECT_EQ(l.alphaLock, 0);
    EXPECT_STREQ(l.modeName, "Multiply");
    EXPECT_EQ(PLR_CreatePaintLayer(33, "Luminance Alpha"), 41);
    EXPECT_EQ(l.opacity, 84);  // 33 x 2.56 = 84.48
}

TEST_F(PaintLayer, LongNamesKeepThePreviousNameButAreLookedUp) {
    PLR_CreatePaintLayer(100, "Screen");
    const std::string n49(49, 'a'), n50(50, 'b');
    EXPECT_EQ(PLR_CreatePaintLayer(100, n50.c_str()), 0);
    EXPECT_STREQ(page().paintLayer.modeName, "Screen");
    EXPECT_EQ(page().paintLayer.mode, 0);
    EXPECT_EQ(PLR_CreatePaintLayer(100, n49.c_str()), 0);
    EXPECT_EQ(std::string(page().paintLayer.modeName), n49);
    EXPECT_EQ(PLR_CreatePaintLayer(100, nullptr), 0);
    EXPECT_EQ(std::string(page().paintLayer.modeName), n49);
}

TEST_F(PaintLayer, CreateAllocationFailureReportsAndKeepsNoPixels) {
    mem::injectFailure(1);
    EXPECT_EQ(PLR_CreatePaintLayer(100, "Multiply"), 0);
    mem::injectFailure(0);
    EXPECT_FALSE(page().paintLayer.hasPixels());
    EXPECT_STREQ(PLR_GetLastError(), "CreatePaintLayer Excpt");
}

TEST_F(PaintLayer, ClearAndOldClear) {
    PLR_CreatePaintLayer(100, "Normal");
    set(paint(), 1, 1, {9, 9, 9, 9});
    bounds(1, 1, 2, 2);
    PLR_ClearPaintLayer();
    EXPECT_EQ(at(paint(), 1, 1), (Px{0, 0, 0, 0}));
    expectEmptyBounds();
    // The old clear: opaque white everywhere, transparent black inside the bounds (maxima exclusive).
    bounds(2, 3, 4, 5);
    PLR_ClearPaintLayer_old();
    EXPECT_EQ(at(paint(), 2, 3), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(paint(), 3, 4), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(paint(), 4, 4), (Px{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}));
    EXPECT_EQ(at(paint(), 2, 5), (Px{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}));
    expectEmptyBounds();
    // Bounds reaching outside the page are held to it.
    bounds(-5, -5, 100, 1);
    PLR_ClearPaintLayer_old();
    EXPECT_EQ(at(paint(), 8, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(paint(), 0, 1), (Px{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}));
    PLR_DeletePaintLayer();
    EXPECT_FALSE(page().paintLayer.hasPixels());
    PLR_ClearPaintLayer();  // nothing to clear
    PLR_ClearPaintLayer_old();
}

TEST_F(PaintLayer, MergeBlendsTheBoundsThenClears) {
    layer(2);
    PLR_SetLayer(2);
    set(slot(2), 1, 1, {0, 0, 0xFF00, 0xFFFF});
    PLR_CreatePaintLayer(100, "Normal");
    const Px red{0xFF00, 0, 0, 0xFFFF};
    set(paint(), 1, 1, red);
    set(paint(), 2, 1, red);
    set(paint(), 5, 5, red);  // outside the bounds: not merged
    bounds(1, 1, 3, 2);
    PLR_MergePaintLayer(2);
    EXPECT_EQ(at(slot(2), 1, 1), red);  // opaque Normal: a straight copy
    EXPECT_EQ(at(slot(2), 2, 1), red);
    EXPECT_EQ(at(slot(2), 5, 5), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(paint(), 1, 1), (Px{0, 0, 0, 0}));
    expectEmptyBounds();
    // Right after a clear nothing is merged.
    const std::vector<std::uint16_t> before(slot(2), slot(2) + kW * kH * 4);
    PLR_MergePaintLayer(2);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), slot(2)));
}

TEST_F(PaintLayer, MergeUsesTheModeOpacityAndTheCurrentLayersAlphaLock) {
    layer(2);
    layer(3, 1);  // the current layer is locked; the merge goes into slot 2
    PLR_SetLayer(3);
    set(slot(2), 0, 0, {0, 0, 0, 0x1234});
    PLR_CreatePaintLayer(100, "Normal");
    set(paint(), 0, 0, {0xFF00, 0, 0, 0xFFFF});
    bounds(0, 0, 1, 1);
    PLR_MergePaintLayer(2);
    EXPECT_EQ(at(slot(2), 0, 0), (Px{0xFF00, 0, 0, 0x1234}));  // colour changed, alpha kept
    // Layer opacity 50 %: a = 129 x a >> 8 over a transparent pixel copies colour and that alpha.
    PLR_SetLayer(2);
    PLR_CreatePaintLayer(50, "Normal");
    set(paint(), 1, 0, {0, 0xFF00, 0, 0xFFFF});
    bounds(1, 0, 2, 1);
    PLR_MergePaintLayer(2);
    EXPECT_EQ(at(slot(2), 1, 0), (Px{0, 0xFF00, 0, 33023}));
    // "Alpha Filter" turns transparent paint inside the bounds into opaque white.
    PLR_CreatePaintLayer(100, "Alpha Filter");
    bounds(2, 0, 3, 1);
    PLR_MergePaintLayer(2);
    EXPECT_EQ(at(slot(2), 2, 0), (Px{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}));
}

TEST_F(PaintLayer, MergeWithoutPaintLayerOrTargetTouchesNothing) {
    layer(2);
    PLR_SetLayer(2);
    set(slot(2), 3, 3, {1, 2, 3, 4});
    const std::vector<std::uint16_t> before(slot(2), slot(2) + kW * kH * 4);
    PLR_MergePaintLayer(2);  // no paint layer
    PLR_BlurPaintLayerAlpha();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), slot(2)));
    PLR_CreatePaintLayer(100, "Normal");
    set(paint(), 3, 3, {0xFF00, 0, 0, 0xFFFF});
    bounds(0, 0, kW, kH);
    for (std::int32_t bad : {-1, 5, 64})  // empty slot, out of range: the stroke is kept
        PLR_MergePaintLayer(bad);
    EXPECT_EQ(at(paint(), 3, 3), (Px{0xFF00, 0, 0, 0xFFFF}));
    EXPECT_EQ(page().paintLayer.bounds.right, kW);
    bounds(5, 5, 5, 9);  // empty bounds: nothing merged, still cleared
    PLR_MergePaintLayer(2);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), slot(2)));
    EXPECT_EQ(at(paint(), 3, 3), (Px{0, 0, 0, 0}));
}

TEST_F(PaintLayer, BlurSoftensAlphaAndKeepsNearlyOpaquePixels) {
    PLR_CreatePaintLayer(100, "Normal");
    set(paint(), 2, 2, {7, 8, 9, 0x80FF});  // high byte 128
    set(paint(), 7, 7, {1, 1, 1, 0xF000});  // high byte 240: made opaque
    set(paint(), 7, 1, {1, 1, 1, 0xEF00});  // high byte 239: blurred
    PLR_BlurPaintLayerAlpha();
    // 1-2-1 across and down, /16 rounded: centre 128 x 4 / 16 = 32, side 16, corner 8.
    EXPECT_EQ(at(paint(), 2, 2), (Px{7, 8, 9, 0x2000}));
    EXPECT_EQ(at(paint(), 3, 2)[3], 0x1000);
    EXPECT_EQ(at(paint(), 2, 1)[3], 0x1000);
    EXPECT_EQ(at(paint(), 3, 3)[3], 0x0800);
    EXPECT_EQ(at(paint(), 4, 2)[3], 0);
    EXPECT_EQ(at(paint(), 7, 7)[3], 0xFFFF);
    EXPECT_EQ(at(paint(), 6, 7)[3], 0x1E00);  // 240 x 2 / 16 = 30
    EXPECT_EQ(at(paint(), 7, 1)[3], 0x3C00);  // 239 x 4 / 16 = 59.75 -> 60
}

TEST_F(PaintLayer, BlurAllocationFailureReportsAndLeavesAlpha) {
    PLR_CreatePaintLayer(100, "Normal");
    const int allocations = forEachAllocationFailure(
        [] {
            set(paint(), 4, 4, {0, 0, 0, 0x8000});
            PLR_SetLastError("");
        },
        [] { PLR_BlurPaintLayerAlpha(); },
        [](int n) {
            EXPECT_STREQ(PLR_GetLastError(), "BlurPaintLayerAlpha Excpt") << n;
            EXPECT_EQ(at(paint(), 4, 4)[3], 0x8000) << n;
            EXPECT_EQ(at(paint(), 5, 4)[3], 0) << n;
        });
    EXPECT_EQ(allocations, 3);  // two planes and the blur's row
}

TEST(BlurPlane, BadArgumentsAndStrength) {
    std::uint8_t src[3 * 3] = {0, 0, 0, 0, 160, 0, 0, 0, 0}, dst[3 * 3] = {};
    EXPECT_EQ(imaging_lib::BlurImage(nullptr, 3, 3, 1, 3, dst, 3, 100, 1), 0);
    EXPECT_EQ(imaging_lib::BlurImage(src, 3, 3, 1, 2, dst, 3, 100, 1), 0);  // stride shorter than a row
    EXPECT_EQ(imaging_lib::BlurImage(src, 3, 3, 1, 3, dst, 3, 100, 0), 0);
    EXPECT_EQ(imaging_lib::BlurImage(src, 3, 3, 5, 3, dst, 3, 100, 1), 0);
    EXPECT_EQ(dst[4], 0);
    ASSERT_EQ(imaging_lib::BlurImage(src, 3, 3, 1, 3, dst, 3, 100, 1), 1);
    EXPECT_EQ(dst[4], 40);  // 160 x 4 / 16
    EXPECT_EQ(dst[0], 10);
    ASSERT_EQ(imaging_lib::BlurImage(src, 3, 3, 1, 3, dst, 3, 50, 1), 1);
    EXPECT_EQ(dst[4], 100);  // halfway from 160 to 40
    ASSERT_EQ(imaging_lib::BlurImage(src, 3, 3, 1, 3, dst, 3, 0, 1), 1);
    EXPECT_EQ(dst[4], 160);
    // A flat picture stays flat at every radius, also at the edges.
    std::vector<std::uint8_t> flat(7 * 5 * 3, 77), out(7 * 5 * 3);
    for (std::int32_t r = 1; r <= 4; ++r) {
        ASSERT_EQ(imaging_lib::BlurImage(flat.data(), 7, 5, 3, 21, out.data(), 21, 100, r), 1);
        EXPECT_EQ(out, flat) << r;
    }
}

// ---- alpha operations ----

TEST_F(PaintLayer, AlphaLayerOpacity) {
    EXPECT_EQ(page().alphaLayerOpacity, 0xFFFF);
    PLR_SetAlphaLayerOpacity(50);
    EXPECT_EQ(page().alphaLayerOpacity, 32767);
    PLR_SetAlphaLayerOpacity(0);
    EXPECT_EQ(page().alphaLayerOpacity, 0);
    PLR_SetAlphaLayerOpacity(100);
    EXPECT_EQ(page().alphaLayerOpacity, 65535);
    PLR_SetAlphaLayerOpacity(250);  // held to 100 %
    EXPECT_EQ(page().alphaLayerOpacity, 65535);
}

TEST_F(PaintLayer, LayerAlphaOperations) {
    layer(2, 0, 50);
    set(slot(2), 0, 0, {1, 2, 3, 0xFFFF});
    set(slot(2), 1, 0, {4, 5, 6, 0x0100});
    PLR_NormalizeLayerAlpha(2);
    EXPECT_EQ(at(slot(2), 0, 0), (Px{1, 2, 3, 32767}));  // 128 x 0xFFFF >> 8
    EXPECT_EQ(at(slot(2), 1, 0)[3], 128);
    EXPECT_EQ(page().layers[2].opacity, 256);
    PLR_InvertAlpha(2);
    EXPECT_EQ(at(slot(2), 0, 0)[3], 65535 - 32767);
    EXPECT_EQ(at(slot(2), 2, 2)[3], 0xFFFF);
    PLR_SetLayerAlpha(2, 0x1234);
    EXPECT_EQ(at(slot(2), 0, 0), (Px{1, 2, 3, 0x1234}));
    EXPECT_EQ(at(slot(2), 8, 8)[3], 0x1234);
    for (std::int32_t bad : {-1, 7, 64}) {  // no pixels, out of range: nothing happens
        PLR_SetLayerAlpha(bad, 1);
        PLR_InvertAlpha(bad);
        PLR_NormalizeLayerAlpha(bad);
    }
}

TEST_F(PaintLayer, SetColorAlphaOnTheCurrentLayer) {
    layer(2);
    PLR_SetColorAlpha(10, 20, 30);  // no current layer yet: nothing
    PLR_SetLayer(2);
    set(slot(2), 0, 0, {1, 1, 1, 255});
    set(slot(2), 1, 0, {1, 1, 1, 256});
    PLR_SetColorAlpha(10, 20, 30);
    EXPECT_EQ(at(slot(2), 0, 0), (Px{2570, 5140, 7710, 0}));
    EXPECT_EQ(at(slot(2), 1, 0), (Px{1, 1, 1, 256}));
    EXPECT_EQ(at(slot(2), 5, 5), (Px{2570, 5140, 7710, 0}));
}

TEST_F(PaintLayer, RgbaBufferOperations) {
    std::vector<std::uint8_t> buf(kW * kH * 4, 0);
    buf[3] = 200;
    buf[4] = 5, buf[5] = 6, buf[6] = 7, buf[7] = 90;
    PLR_InvertAlpha_RGBA32(buf.data());
    EXPECT_EQ(buf[3], 55);
    EXPECT_EQ(buf[7], 165);
    EXPECT_EQ(buf[buf.size() - 1], 255);
    PLR_SetAlphaFromRGBAImageColor(buf.data(), 5, 6, 7);
    EXPECT_EQ(buf[7], 0);
    EXPECT_EQ(buf[3], 55);  // (0, 0, 0) is not the key
    PLR_SetColorAlphaRGBABuf(buf.data(), 2, 1, 11, 12, 13);  // two pixels
    EXPECT_EQ(buf[0], 0);    // alpha 55: kept
    EXPECT_EQ(buf[4], 11);   // alpha 0: coloured
    EXPECT_EQ(buf[8], 0);    // outside 2 x 1
    PLR_SetColorRGBABuf(buf.data(), kW, kH, 21, 22, 23);
    EXPECT_EQ(buf[0], 21);
    EXPECT_EQ(buf[3], 55);
    EXPECT_EQ(buf[buf.size() - 2], 23);
    PLR_SetColorRGBABuf(buf.data(), -1, 5, 0, 0, 0);  // no pixels
    EXPECT_EQ(buf[0], 21);
    PLR_SetColorRGBABuf(nullptr, kW, kH, 0, 0, 0);
    PLR_SetColorAlphaRGBABuf(nullptr, kW, kH, 0, 0, 0);
    PLR_InvertAlpha_RGBA32(nullptr);
    PLR_SetAlphaFromRGBAImageColor(nullptr, 0, 0, 0);
}

}  // namespace
}  // namespace plr::test
