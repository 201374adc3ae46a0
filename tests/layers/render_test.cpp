// The render's rules through PLR_Render (every drawing is also made by the
// per-pixel reference and must match it): the draw list, the background
// flag, the paint layer's place, Layer Masks, checkerboard, tracing, both
// overlay modes, the three view paths, the view-size cut, clipping and
// bottom-up bitmaps; and PLR_GetColorAtMerged against the flattening.
#include <array>
#include <cstring>
#include <vector>

#include "core/alloc.h"
#include "core/packed_pixels.h"
#include "engine_fixture.h"
#include "layers/render.h"

namespace plr::test {
namespace {

using Px = std::array<std::uint16_t, 4>;
using Bgr = std::array<std::uint8_t, 3>;
constexpr std::int32_t kW = 80, kH = 70;
constexpr std::uint8_t kUntouched = 0xAB;

constexpr Px kRed{0xFF00, 0, 0, 0xFFFF}, kGreen{0, 0xFF00, 0, 0xFFFF}, kBlue{0, 0, 0xFF00, 0xFFFF};
constexpr Bgr kWhiteBytes{255, 255, 255}, kRedBytes{0, 0, 255}, kGreenBytes{0, 255, 0}, kBlueBytes{255, 0, 0};

// A bitmap of w x h display pixels, rows packed; draws through the export
// and through the reference, which must agree.
struct Bitmap {
    std::int32_t w, h;
    std::vector<std::uint8_t> bytes;
    Bitmap(std::int32_t w_, std::int32_t h_) : w(w_), h(h_), bytes(static_cast<std::size_t>(w_) * 3 * h_, kUntouched) {}
    void draw(std::int32_t x, std::int32_t y, std::int32_t rw, std::int32_t rh) {
        std::vector<std::uint8_t> reference = bytes;
        PLR_Render(bytes.data(), w * 3, x, y, rw, rh);
        renderReference(page(), reference.data(), w * 3, x, y, rw, rh);
        EXPECT_EQ(bytes, reference) << "fast path and reference differ";
    }
    Bgr at(std::int32_t dx, std::int32_t dy) const {
        const std::uint8_t* p = &bytes[(static_cast<std::size_t>(dy) * w + dx) * 3];
        return {p[0], p[1], p[2]};
    }
    bool untouched(std::int32_t dx, std::int32_t dy) const { return at(dx, dy) == Bgr{kUntouched, kUntouched, kUntouched}; }
};

class Render : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_SetViewSize(1000, 1000);
    }
    static void layer(std::int32_t slot, const char* mode, std::int32_t visible = 1, std::int32_t percent = 100) {
        ASSERT_EQ(PLR_CreateLayer(slot, kW, kH), 1);
        PLR_SetLayerOptions(slot, visible, 0, percent, mode);
    }
    static void fill(std::uint16_t* plane, Px v) {
        for (std::int32_t i = 0; i < kW * kH; ++i) std::memcpy(plane + 4 * i, v.data(), 8);
    }
    static void set(std::uint16_t* plane, std::int32_t x, std::int32_t y, Px v) {
        std::memcpy(plane + 4 * (y * kW + x), v.data(), 8);
    }
    static std::uint16_t* slot(std::int32_t i) { return page().layers[i].pixels.data(); }
    // White background, slot 2 current (transparent).
    static void whitePage() {
        layer(1, "Normal");
        layer(2, "Normal");
        PLR_SetLayer(2);
    }
};

TEST_F(Render, OnlyTheBackgroundShowsWhite) {
    layer(1, "Normal");
    PLR_SetLayer(1);
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x) ASSERT_EQ(b.at(x, y), kWhiteBytes) << x << "," << y;
}

TEST_F(Render, TransparentStackShowsTheCheckerboard) {
    layer(1, "Normal", 0);  // background hidden
    layer(2, "Normal");
    PLR_SetLayer(2);
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    const Bgr light{255, 255, 255}, grey{159, 159, 159};
    EXPECT_EQ(b.at(0, 0), light);
    EXPECT_EQ(b.at(31, 31), light);
    EXPECT_EQ(b.at(32, 0), grey);  // cell (1, 0)
    EXPECT_EQ(b.at(0, 32), grey);
    EXPECT_EQ(b.at(32, 32), light);
    EXPECT_EQ(b.at(64, 0), light);
    EXPECT_EQ(b.at(79, 69), light);  // cell (2, 2)
    EXPECT_EQ(b.at(79, 40), grey);   // cell (2, 1)
}

TEST_F(Render, BackgroundCountsOpaqueOnlyAsTheFirstEntry) {
    layer(1, "Normal");
    layer(2, "Normal");
    PLR_SetLayer(2);
    set(slot(1), 10, 10, {0xFF00, 0, 0, 0});  // stored transparent
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(10, 10), kRedBytes);
    // The same pixel in slot 2 over a hidden background is transparent: checkerboard.
    PLR_SetLayerOptions(1, 0, 0, 100, "Normal");
    set(slot(2), 10, 10, {0xFF00, 0, 0, 0});
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(10, 10), kWhiteBytes);
    // A background at 50 % lets the checkerboard through: grey cell behind red.
    PLR_SetLayerOptions(1, 1, 0, 50, "Normal");
    b.draw(0, 0, kW, kH);
    const Bgr c = b.at(40, 10);  // composed white at alpha 33023, over the 0x9FFF cell
    EXPECT_LT(c[0], 255);
    EXPECT_GT(c[0], 159);
}

TEST_F(Render, HiddenCurrentLayerStillShowsThePaintLayer) {
    layer(1, "Normal");
    layer(2, "Normal", 0);
    PLR_SetLayer(2);
    set(slot(2), 5, 5, kRed);
    ASSERT_EQ(PLR_CreatePaintLayer(100, "Normal"), 0);
    set(page().paintLayer.pixels.data(), 5, 5, kBlue);
    set(page().paintLayer.pixels.data(), 6, 5, kBlue);
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(5, 5), kBlueBytes);
    EXPECT_EQ(b.at(6, 5), kBlueBytes);
    EXPECT_EQ(b.at(7, 5), kWhiteBytes);
    PLR_DeletePaintLayer();
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(5, 5), kWhiteBytes);  // the hidden layer itself never shows
}

TEST_F(Render, PaintLayerLiesDirectlyAboveTheCurrentLayer) {
    layer(1, "Normal");
    layer(2, "Normal");
    layer(3, "Normal");
    set(slot(2), 1, 1, kRed);
    set(slot(2), 2, 1, kRed);
    set(slot(3), 2, 1, kGreen);
    PLR_CreatePaintLayer(100, "Normal");
    set(page().paintLayer.pixels.data(), 1, 1, kBlue);
    set(page().paintLayer.pixels.data(), 2, 1, kBlue);
    PLR_SetLayer(2);
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(1, 1), kBlueBytes);   // above slot 2
    EXPECT_EQ(b.at(2, 1), kGreenBytes);  // below slot 3
    PLR_SetLayer(3);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(2, 1), kBlueBytes);  // now above slot 3
    // A Texturize3 slot is left out of the list, but the paint layer still follows it when current.
    PLR_SetLayerOptions(3, 1, 0, 100, "Texturize3");
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(2, 1), kBlueBytes);
    PLR_ClearPaintLayer();
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(2, 1), kRedBytes);  // slot 3 shows nothing in Texturize3
}

TEST_F(Render, LayerMaskPassesOverThePaintLayer) {
    whitePage();
    set(slot(2), 3, 3, kRed);
    layer(3, "Layer Mask");
    set(slot(3), 3, 3, {0x8000, 0x8000, 0x8000, 0xFFFF});  // mean grey 0x8000: alpha 0x7FFF
    PLR_CreatePaintLayer(100, "Normal");                   // between slot 2 and its mask, transparent
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    // Red at as = 0x7FFF / 0xFFFF over white: green and blue 1 - as = 0.50000763,
    // x 65280 = 32640.49, truncated 0x7F80: byte 127.
    EXPECT_EQ(b.at(3, 3)[0], 127);
    EXPECT_EQ(b.at(3, 3)[1], 127);
    // The mask layer hidden: slot 2 shows at full strength.
    PLR_SetLayerOptions(3, 0, 0, 100, "Layer Mask");
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(3, 3), kRedBytes);
    // A paint layer in "Layer Mask" mode does not mask the current layer beneath it.
    PLR_SetLayerOptions(3, 0, 0, 100, "Normal");
    PLR_CreatePaintLayer(100, "Layer Mask");
    set(page().paintLayer.pixels.data(), 3, 3, {0x8000, 0x8000, 0x8000, 0xFFFF});
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(3, 3), kRedBytes);
}

TEST_F(Render, TracingHalvesEachChannel) {
    layer(1, "Normal");
    fill(slot(1), {0, 0, 0, 0xFFFF});
    PLR_SetLayer(1);
    ASSERT_EQ(PLR_CreateLayer(0, kW, kH), 1);
    fill(slot(0), {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF});
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(4, 4), (Bgr{0, 0, 0}));
    PLR_SetTracingMode(1);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(4, 4), (Bgr{127, 127, 127}));  // (0 + 0xFFFF) >> 1 = 0x7FFF
    PLR_SetTracingMode(0x100);                     // low byte 0: off
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(4, 4), (Bgr{0, 0, 0}));
}

TEST_F(Render, MaskOverlayTranslucentAndSolid) {
    layer(1, "Normal");
    fill(slot(1), {0xFF00, 0xFF00, 0xFF00, 0xFFFF});  // white as 0xFF00: the formula's loss shows
    PLR_SetLayer(1);
    PLR_DisplayMask(1);
    PLR_SetMaskOptions(0, 0, 255, 255, 0, 0, 0);  // colour 1 blue (odd cells), colour 2 red (even cells)
    std::uint16_t* m = page().mask.plane.data();
    m[0] = 0;        // (0, 0): even cell
    m[32] = 0;       // (32, 0): odd cell
    m[5] = 0xFFFF;   // open
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    // k = 0x7FFF: red = (0x7FFF * 255 + 0x8000 * 255) >> 16 = 254, green = 0x7FFF * 255 >> 16 = 127.
    EXPECT_EQ(b.at(0, 0), (Bgr{127, 127, 254}));
    EXPECT_EQ(b.at(32, 0), (Bgr{254, 127, 127}));
    EXPECT_EQ(b.at(5, 0), kWhiteBytes);  // 1:1 draws an open pixel plainly
    PLR_SetMaskOptions(0, 0, 255, 255, 0, 0, 1);  // solid: k = m
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(0, 0), (Bgr{0, 0, 254}));
    EXPECT_EQ(b.at(32, 0), (Bgr{254, 0, 0}));
    EXPECT_EQ(b.at(5, 0), kWhiteBytes);
    // The mask disabled: no overlay.
    PLR_EnableMask(0);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(0, 0), kWhiteBytes);
}

TEST_F(Render, MagnifiedAndReducedOverlayPutOpenPixelsThroughTheFormula) {
    layer(1, "Normal");
    fill(slot(1), {0xFF00, 0xFF00, 0xFF00, 0xFFFF});
    PLR_SetLayer(1);
    PLR_DisplayMask(1);
    PLR_SetMaskOptions(0, 0, 255, 255, 0, 0, 0);
    page().mask.plane[40] = 0;  // page (40, 0): odd cell, also shown at display (80, 0) when magnified
    PLR_SetScale(2, 1.0f);
    Bitmap b(200, 4);
    b.draw(0, 0, kW, 2);
    // Open, translucent: k = 0xFFFE: every channel (0xFFFE * 255 + 255) >> 16 = 254 (255 at 1:1).
    EXPECT_EQ(b.at(0, 0), (Bgr{254, 254, 254}));
    // Cells follow page pixels: page (40, 0) is in odd cell 1 (colour 1, blue) at display 80 and 81.
    EXPECT_EQ(b.at(80, 0), (Bgr{254, 127, 127}));
    EXPECT_EQ(b.at(81, 1), (Bgr{254, 127, 127}));
    EXPECT_EQ(b.at(64, 0), (Bgr{254, 254, 254}));  // page (32, 0) is open
    PLR_SetScale(1, 2.0f);
    Bitmap r(60, 4);
    r.draw(0, 0, kW, 4);
    EXPECT_EQ(r.at(0, 0), (Bgr{254, 254, 254}));
    EXPECT_EQ(r.at(20, 0), (Bgr{254, 127, 127}));  // display 20 samples page 40
}

TEST_F(Render, MagnifiedRepeatsEachPagePixel) {
    layer(1, "Normal");
    PLR_SetLayer(1);
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x)
            set(slot(1), x, y, {static_cast<std::uint16_t>((x + 1) << 8), static_cast<std::uint16_t>((y + 1) << 8), 0, 0xFFFF});
    PLR_SetScale(3, 1.0f);
    Bitmap b(20, 15);
    b.draw(2, 3, 5, 4);  // 15 x 12 display pixels
    for (std::int32_t dy = 0; dy < 15; ++dy)
        for (std::int32_t dx = 0; dx < 20; ++dx) {
            if (dx >= 15 || dy >= 12) {
                EXPECT_TRUE(b.untouched(dx, dy)) << dx << "," << dy;
                continue;
            }
            const Bgr expected{0, static_cast<std::uint8_t>(3 + dy / 3 + 1), static_cast<std::uint8_t>(2 + dx / 3 + 1)};
            ASSERT_EQ(b.at(dx, dy), expected) << dx << "," << dy;
        }
}

TEST_F(Render, ReducedSamplesWithTheCarriedFraction) {
    layer(1, "Normal");
    PLR_SetLayer(1);
    for (std::int32_t y = 0; y < kH; ++y)
        for (std::int32_t x = 0; x < kW; ++x)
            set(slot(1), x, y, {static_cast<std::uint16_t>((x + 1) << 8), static_cast<std::uint16_t>((y + 1) << 8), 0, 0xFFFF});
    // Zoom 2: every second page pixel. Rectangle (1, 2, 9, 7): trunc(9 / 2 + 1 - 1) = 4 -> 4 columns,
    // trunc(7 / 2 + 2 - 1) = 4 -> 3 rows.
    PLR_SetScale(1, 2.0f);
    Bitmap b(8, 6);
    b.draw(1, 2, 9, 7);
    for (std::int32_t dy = 0; dy < 6; ++dy)
        for (std::int32_t dx = 0; dx < 8; ++dx) {
            if (dx >= 4 || dy >= 3) {
                EXPECT_TRUE(b.untouched(dx, dy)) << dx << "," << dy;
                continue;
            }
            const Bgr expected{0, static_cast<std::uint8_t>(2 + 2 * dy + 1), static_cast<std::uint8_t>(1 + 2 * dx + 1)};
            ASSERT_EQ(b.at(dx, dy), expected) << dx << "," << dy;
        }
    // Zoom 1.5: steps 1, 2, 1, 2, ... -> page columns 0, 1, 3, 4, 6, 7 (6 = trunc(10 / 1.5 - 1) + 1 columns).
    PLR_SetScale(1, 1.5f);
    Bitmap c(8, 1);
    c.draw(0, 0, 10, 1);
    const std::int32_t cols[] = {0, 1, 3, 4, 6, 7};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(c.at(i, 0)[2], cols[i] + 1) << i;
    EXPECT_TRUE(c.untouched(6, 0));
    // Scale 1 with zoom 1.0 is 1:1.
    PLR_SetScale(1, 1.0f);
    Bitmap d(3, 1);
    d.draw(4, 0, 3, 1);
    EXPECT_EQ(d.at(0, 0)[2], 5);
    EXPECT_EQ(d.at(2, 0)[2], 7);
}

TEST_F(Render, ViewSizeCutsTheDisplayExtent) {
    PLR_CreateImage(nullptr, 400, 400, 8, 0);
    ASSERT_EQ(PLR_CreateLayer(1, 400, 400), 1);
    PLR_SetLayerOptions(1, 1, 0, 100, "Normal");
    PLR_SetLayer(1);
    EXPECT_EQ(page().view.viewWidth, 1000);  // kept by page creation
    PLR_SetViewSize(0, 0);                   // as after load: nothing is drawn
    Bitmap b(120, 60);
    b.draw(0, 0, 400, 400);
    EXPECT_TRUE(b.untouched(0, 0));
    PLR_SetViewSize(100, 50);
    b.draw(0, 0, 400, 400);
    EXPECT_EQ(b.at(99, 49), kWhiteBytes);
    EXPECT_TRUE(b.untouched(100, 0));
    EXPECT_TRUE(b.untouched(0, 50));
}

TEST_F(Render, ClippingAndNothingWithoutACurrentLayer) {
    layer(1, "Normal");
    Bitmap none(kW, kH);
    none.draw(0, 0, kW, kH);  // no current layer yet
    EXPECT_TRUE(none.untouched(0, 0));
    PLR_SetLayer(1);
    // Partly outside on the right and bottom: 10 x 10 drawn.
    Bitmap b(20, 20);
    b.draw(70, 60, 20, 20);
    EXPECT_EQ(b.at(9, 9), kWhiteBytes);
    EXPECT_TRUE(b.untouched(10, 0));
    EXPECT_TRUE(b.untouched(0, 10));
    PLR_Render(nullptr, 60, 0, 0, 20, 20);  // no bitmap: nothing
    // Right of or below the page: nothing.
    Bitmap c(5, 5);
    c.draw(kW, 0, 5, 5);
    c.draw(0, kH, 5, 5);
    EXPECT_TRUE(c.untouched(0, 0));
    // Left of the page: the origin moves to column 0, which lands at the
    // bitmap's first pixel; the width is kept (cut only at the right edge).
    set(slot(1), 0, 0, kRed);
    Bitmap d(12, 1);
    d.draw(-3, 0, 10, 1);
    EXPECT_EQ(d.at(0, 0), kRedBytes);
    EXPECT_EQ(d.at(9, 0), kWhiteBytes);
    EXPECT_TRUE(d.untouched(10, 0));
}

TEST_F(Render, BottomUpBitmapWithNegativeStride) {
    layer(1, "Normal");
    PLR_SetLayer(1);
    set(slot(1), 0, 0, kRed);
    set(slot(1), 0, 2, kBlue);
    std::vector<std::uint8_t> bmp(4 * 3 * 3, kUntouched);
    // The host's bottom-up rows: the first display row is the last one in memory.
    PLR_Render(bmp.data() + 2 * 12, -12, 0, 0, 4, 3);
    EXPECT_EQ(bmp[2 * 12 + 2], 255);  // page row 0, red
    EXPECT_EQ(bmp[2 * 12 + 0], 0);
    EXPECT_EQ(bmp[0], 255);           // page row 2, blue
    EXPECT_EQ(bmp[2], 0);
    EXPECT_EQ(bmp[12 + 3], 255);      // page row 1, white
}

// ---- PLR_GetColorAtMerged ----

TEST_F(Render, ColorAtMergedOutsideAndOnAllocationFailure) {
    whitePage();
    EXPECT_EQ(PLR_GetColorAtMerged(-1, 0), 0xFFFFFFu);
    EXPECT_EQ(PLR_GetColorAtMerged(0, kH), 0xFFFFFFu);
    EXPECT_EQ(PLR_GetColorAtMerged(0, 0), 0xFFFFFFFFu);
    mem::injectFailure(1);
    EXPECT_EQ(PLR_GetColorAtMerged(0, 0), 0u);
    mem::injectFailure(0);
}

TEST_F(Render, ColorAtMergedAgreesWithMergeRect) {
    whitePage();
    layer(3, "Multiply", 1, 70);
    layer(4, "Layer Mask");
    layer(5, "Screen", 0);
    for (std::int32_t x = 0; x < 8; ++x) {
        set(slot(2), x, 0, {static_cast<std::uint16_t>(x * 0x1F00), 0x4000, 0x9000, static_cast<std::uint16_t>(x * 0x2000)});
        set(slot(3), x, 0, {0x8000, static_cast<std::uint16_t>(x * 0x1000), 0xC000, 0xC000});
        set(slot(4), x, 0, {0x6000, 0x6000, 0x6000, static_cast<std::uint16_t>(x & 1 ? 0xFFFF : 0)});
        set(slot(5), x, 0, kRed);
    }
    std::vector<std::uint16_t> flat(static_cast<std::size_t>(kW) * kH * 4);
    PLR_Merge(flat.data());
    for (std::int32_t x = 0; x < 8; ++x) {
        std::uint16_t one[4];
        PLR_MergeRect(one, x, 0, 1, 1);
        EXPECT_EQ(PLR_GetColorAtMerged(x, 0), packColorValue(one)) << x;
        EXPECT_EQ(PLR_GetColorAtMerged(x, 0), packColorValue(flat.data() + 4 * x)) << x;
    }
}

TEST_F(Render, ColorAtMergedDiffersFromTheRenderWhereTheFlatteningsDiffer) {
    whitePage();
    // Slot 1 is copied as stored by the flattening, counted opaque by the render.
    set(slot(1), 1, 1, {0xFF00, 0, 0, 0});
    // The paint layer is shown by the render only.
    PLR_CreatePaintLayer(100, "Normal");
    set(page().paintLayer.pixels.data(), 2, 1, kBlue);
    Bitmap b(kW, kH);
    b.draw(0, 0, kW, kH);
    EXPECT_EQ(b.at(1, 1), kRedBytes);
    EXPECT_EQ(PLR_GetColorAtMerged(1, 1), 0x00FF0000u);  // alpha byte 0, red as stored
    EXPECT_EQ(b.at(2, 1), kBlueBytes);
    EXPECT_EQ(PLR_GetColorAtMerged(2, 1), 0xFFFFFFFFu);  // opaque white: no paint layer
}

TEST_F(Render, ViewSettersAndRedrawCalls) {
    PLR_SetScale(3, 0.5f);
    EXPECT_EQ(page().view.scale, 3);
    EXPECT_EQ(page().view.zoom, 0.5f);
    PLR_SetOffset(-4, 9);
    EXPECT_EQ(page().view.offsetX, -4);
    EXPECT_EQ(page().view.offsetY, 9);
    PLR_SetViewSize(640, 480);
    EXPECT_EQ(page().view.viewWidth, 640);
    EXPECT_EQ(page().view.viewHeight, 480);
    PLR_SetTracingMode(0x1FF);
    EXPECT_EQ(page().tracingMode, 0xFF);
    PLR_SetGrid(5);
    PLR_SetGridSpacing(5);
    PLR_SetWindowRedraw(nullptr, 1);
    PLR_RedrawWindow(nullptr);
    // A factor below 1 on the magnified path gives an empty extent.
    layer(1, "Normal");
    PLR_SetLayer(1);
    PLR_SetScale(0, -1.0f);
    PLR_SetViewSize(10, 10);
    Bitmap b(10, 1);
    b.draw(0, 0, 10, 1);
    EXPECT_TRUE(b.untouched(0, 0));
    EXPECT_TRUE(b.untouched(9, 0));
}

}  // namespace
}  // namespace plr::test
