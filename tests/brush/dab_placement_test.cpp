// Where a dab lands: clipping at the page edges through the scale table, the
// stroke rectangle, rotation with its fallback, grit, and the mask dab.
#include "brush_test_support.h"
#include "dab_test_support.h"

namespace plr::test {
namespace {

using DabPlacement = DabTest;

// Shape value 1001 + 100 * row + col: over a transparent target the alpha
// (v * 65535 >> 16 = v - 1) names the shape sample: 1000 + 100 * row + col.
void numberShape(DabTest& t, int size) {
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c) t.setShapeAt(r, c, static_cast<std::uint16_t>(1001 + 100 * r + c));
}
std::uint32_t sample(int row, int col) { return static_cast<std::uint32_t>(1000 + 100 * row + col); }

TEST_F(DabPlacement, ClippedAtTheTopLeftCornerKeepsTheShapeCoordinates) {
    makePage(10, 10, 4, 4);
    numberShape(*this, 4);
    const Rect before = page().history.stroke;
    EXPECT_EQ(before.left, 9);  // empty: width - 1, height - 1, 0, 0
    PLR_DrawDabGrit(0, 0, 0xFF00, 0, 0);
    // left = top = -2: column offset scaleTable[2] = 2, first row index 2.
    EXPECT_EQ(current(0, 0)[3], sample(2, 2));
    EXPECT_EQ(current(1, 0)[3], sample(2, 3));
    EXPECT_EQ(current(0, 1)[3], sample(3, 2));
    EXPECT_EQ(current(1, 1)[3], sample(3, 3));
    EXPECT_EQ(current(2, 0)[3], 0u);
    EXPECT_EQ(current(0, 2)[3], 0u);
    const Rect s = page().history.stroke;
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.right, 2);
    EXPECT_EQ(s.bottom, 2);
}

TEST_F(DabPlacement, ClippedAtTheBottomRightCorner) {
    makePage(10, 10, 4, 4);
    numberShape(*this, 4);
    PLR_DrawDabGrit(9, 9, 0xFF00, 0, 0);  // left = top = 7, right = bottom = min(11, 10)
    EXPECT_EQ(current(7, 7)[3], sample(0, 0));
    EXPECT_EQ(current(9, 7)[3], sample(0, 2));
    EXPECT_EQ(current(9, 9)[3], sample(2, 2));
    EXPECT_EQ(current(6, 7)[3], 0u);
    const Rect s = page().history.stroke;
    EXPECT_EQ(s.left, 7);
    EXPECT_EQ(s.top, 7);
    EXPECT_EQ(s.right, 10);
    EXPECT_EQ(s.bottom, 10);
}

TEST_F(DabPlacement, OffThePageDrawsNothingButWidensTheRectangle) {
    makePage(10, 10, 4, 4);
    PLR_DrawDabGrit(100, 5, 0xFF00, 0, 0);
    PLR_DrawDabGrit(-100, -100, 0xFF00, 0, 0);
    PLR_DrawDabGrit(INT32_MAX, INT32_MIN, 0xFF00, 0, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(current(x, y)[3], 0u);
    const Rect s = page().history.stroke;
    EXPECT_EQ(s.left, 0);  // from the dab at -100, clipped to 0
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.right, 10);  // from the dab at 100: min(102, 10)
    EXPECT_EQ(s.bottom, 7);  // from the dab at y = 5: 3 + 4
}

TEST_F(DabPlacement, ScaledDabAtTheLeftEdgeAddsTheTableOffset) {
    makePage(10, 10, 8, 8);
    numberShape(*this, 8);
    PLR_SetScaleSize(4);  // f = 2: table 1, 3, 5, 7
    PLR_DrawDabGrit(1, 4, 0xFF00, 0, 0);
    // left = -1: k0 = scaleTable[1] = 3; columns 1 + 3, 3 + 3, and 5 + 3
    // held at the shape's last column 7. top = 2: rows 1, 3, 5, 7.
    EXPECT_EQ(current(0, 2)[3], sample(1, 4));
    EXPECT_EQ(current(1, 2)[3], sample(1, 6));
    EXPECT_EQ(current(2, 2)[3], sample(1, 7));
    EXPECT_EQ(current(2, 5)[3], sample(7, 7));
    EXPECT_EQ(current(3, 2)[3], 0u);
}

TEST_F(DabPlacement, UnscaledLeftClipIsTheUnclippedColumn) {
    makePage(10, 10, 6, 6);
    numberShape(*this, 6);
    PLR_DrawDabGrit(1, 5, 0xFF00, 0, 0);  // left = -2
    for (int x = 0; x < 4; ++x) EXPECT_EQ(current(x, 2)[3], sample(0, x + 2));
}

TEST_F(DabPlacement, RotatedSamplesOutsideTheShapeFallBackToTheUnrotated) {
    makePage(8, 8, 4, 4);
    numberShape(*this, 4);
    PLR_SetRotateBrushMode(1, 90);
    tool().rotateSin = 1.0f;  // exact quarter turn for the arithmetic below
    tool().rotateCos = 0.0f;
    PLR_DrawDabGrit(2, 2, 0xFF00, 0, 0);  // left = top = 0, half = 2
    // sx = -v + 2, sy = u + 2 with u = col - 2, v = row - 2.
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(current(x, 0)[3], sample(0, x)) << "row 0: sx = 4 lies outside, unrotated";
        EXPECT_EQ(current(x, 1)[3], sample(x, 3)) << "row 1: sample (sy, sx) = (col, 3)";
        EXPECT_EQ(current(x, 3)[3], sample(x, 1));
    }
}

TEST_F(DabPlacement, GritPassesEverythingAtDensity255AndLevelsBelow) {
    makePage(8, 8, 4, 4);
    tool().gritCellSize = 2;
    page().brush.drawingCounter = 100;  // keep texture 19
    page().brush.currentGrit = 19;
    for (auto& g : page().brush.gritTextures) std::fill(g.data(), g.data() + g.size(), 255);
    std::uint8_t* grit = page().brush.gritTextures[19].data();
    grit[0 * 4 + 1] = 10;  // shape (0, 1)
    grit[1 * 4 + 0] = 0;   // shape (1, 0)
    PLR_SetDensity(256);
    PLR_DrawDabGrit(2, 2, 0xFF00, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(current(x, y)[3], 65534u);
    fillCurrent({0, 0, 0, 0});
    PLR_SetDensity(11);  // density 10: bytes up to 10 draw
    PLR_DrawDabGrit(2, 2, 0xFF00, 0, 0);
    EXPECT_EQ(current(1, 0)[3], 65534u);
    EXPECT_EQ(current(0, 1)[3], 65534u);
    EXPECT_EQ(current(0, 0)[3], 0u);
    EXPECT_EQ(current(3, 3)[3], 0u);
}

TEST_F(DabPlacement, GritTextureChangesWhenTheCounterRunsOut) {
    makePage(8, 8, 4, 4);
    tool().gritCellSize = 2;
    tool().drawingLength = 7;
    page().brush.drawingCounter = 0;
    page().brush.currentGrit = 19;
    engine().rng.seed(5);
    RefRand ref{5};
    int t;
    do t = ref.next() % 20;
    while (t == 19);
    const int row = ref.next() % 25, col = ref.next() % 25;
    PLR_DrawDabGrit(2, 2, 0, 0, 0);
    EXPECT_EQ(page().brush.currentGrit, t);
    EXPECT_EQ(page().brush.currentGritOffset, row * 4 + col);
    EXPECT_EQ(page().brush.drawingCounter, 7);
    PLR_DecDrawingLength();
    EXPECT_EQ(page().brush.drawingCounter, 6);
}

TEST_F(DabPlacement, MaskAndPaperTextureScaleCoverage) {
    makePage(8, 8, 4, 1);
    page().mask.plane.data()[1 * 8 + 1] = 32768;
    PLR_DrawDabGrit(1, 1, 0xFF00, 0, 0);
    EXPECT_EQ(current(1, 1)[3], ((65535u * 32768u >> 16) * 65535u) >> 16);
    page().mask.plane.data()[1 * 8 + 2] = 0;
    PLR_DrawDabGrit(2, 1, 0xFF00, 0, 0);
    EXPECT_EQ(get(current(2, 1)), (Px{0, 0, 0, 0}));
    ASSERT_TRUE(page().texture.allocate(64));
    std::fill(page().texture.data(), page().texture.data() + 64, 255);
    page().texture.data()[3 * 8 + 3] = 128;
    PLR_DrawDabGrit(3, 3, 0xFF00, 0, 0);
    EXPECT_EQ(current(3, 3)[3], ((65535u * 128u >> 8) * 65535u) >> 16);
}

TEST_F(DabPlacement, SolidModeGivesFullCoverage) {
    makePage(8, 8, 4, 1, 2, 100);
    fillCurrent({0x1000, 0x1000, 0x1000, 65535});
    PLR_SetSolidBrushMode(1);
    PLR_DrawDabGrit(0, 0, 0xFF00, 0, 0);
    EXPECT_EQ(get(current(0, 0)), (Px{65279, 0, 0, 65535}));
}

TEST_F(DabPlacement, MaskDabBlackOpensWhiteCloses) {
    makePage(8, 8, 4, 1);
    std::uint16_t* mask = page().mask.plane.data();
    std::fill(mask, mask + 64, 0);
    PLR_SetMaskMakerOn();
    PLR_DrawDabGrit(2, 2, 0, 0, 0);
    EXPECT_EQ(mask[2 * 8 + 2], 65535);
    PLR_DrawDabGrit(3, 2, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(mask[2 * 8 + 3], 0);
    EXPECT_EQ(page().mask.makerOn, 1) << "mask-making mode stays on";
    EXPECT_EQ(current(2, 2)[3], 0u) << "the layer is untouched";
    // Partial coverage: ((((65536 - Y) * old) >> 8) + ((Y * v) >> 8)) >> 8.
    setShape(20000);
    mask[5] = 40000;
    PLR_DrawDabGritMask(5, 0);  // dab colour still white: v = 0
    EXPECT_EQ(mask[5], ((45536u * 40000u) >> 8) >> 8);
    // A grey level: v = 65280 - L.
    PLR_DrawDabGrit(6, 0, 0x8000, 0x8000, 0x8000);
    EXPECT_EQ(mask[6], ((((45536u * 0u) >> 8) + ((20000u * (65280u - 32768u)) >> 8)) >> 8));
    PLR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    EXPECT_EQ(page().mask.makerOn, 0);
}

TEST_F(DabPlacement, NothingIsDrawnOutsideTheDataModel) {
    PLR_DrawDabGrit(1, 1, 0xFF00, 0, 0);  // no page
    makePage(8, 8, 4, 4);
    page().currentLayer = nullptr;
    PLR_DrawDabGrit(1, 1, 0xFF00, 0, 0);  // no target
    PLR_SetLayer(2);
    tool().brushSize = 5;  // larger than the buffers
    PLR_DrawDabGrit(1, 1, 0xFF00, 0, 0);
    tool().brushSize = 2;  // scaledSize 4 > brushSize
    PLR_DrawDabGrit(1, 1, 0xFF00, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(current(x, y)[3], 0u);
}

}  // namespace
}  // namespace plr::test
