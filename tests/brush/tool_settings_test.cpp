// The tool setters and PLR_SetTool's bookkeeping.
#include <cmath>

#include "engine_fixture.h"

namespace plr::test {
namespace {

using ToolSettings = EngineTest;

const BrushSettings& tool() { return page().brush.settings; }

TEST_F(ToolSettings, ScaleTableAccumulatesHalfStepsInSinglePrecision) {
    PLR_SetSize(10);
    EXPECT_EQ(tool().brushSize, 10);
    EXPECT_EQ(tool().scaledSize, 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(tool().scaleTable[i], i);
    PLR_SetScaleSize(4);  // f = 2.5: 1.25, 3.75, 6.25, 8.75
    EXPECT_EQ(tool().scaledSize, 4);
    EXPECT_EQ(tool().scaleTable[0], 1);
    EXPECT_EQ(tool().scaleTable[1], 3);
    EXPECT_EQ(tool().scaleTable[2], 6);
    EXPECT_EQ(tool().scaleTable[3], 8);
    PLR_SetScaleSize(0);
    EXPECT_EQ(tool().scaledSize, 1);
    EXPECT_EQ(tool().scaleTable[0], 5);
    PLR_SetScaleSize(50);
    EXPECT_EQ(tool().scaledSize, 10);
    PLR_SetSize(1001);
    PLR_SetScaleSize(1001);
    EXPECT_EQ(tool().scaledSize, 999);
    // f = 1001/999 accumulated in float: the last entry stays inside the shape.
    EXPECT_LT(tool().scaleTable[998], 1001);
    EXPECT_EQ(tool().scaleTable[0], 0);
}

TEST_F(ToolSettings, SizeIsHeldToTheTableAndThePlanes) {
    PLR_SetSize(5000);
    EXPECT_EQ(tool().brushSize, 1001);
    PLR_SetSize(-4);
    EXPECT_EQ(tool().brushSize, 1);
    PLR_CreateImage(nullptr, 8, 8, 32, 0);
    PLR_SetSize(40);
    EXPECT_EQ(tool().brushSize, 32);
}

TEST_F(ToolSettings, DerivedValues) {
    PLR_SetAlpha(99);
    EXPECT_EQ(tool().alpha128, 126);
    PLR_SetAlpha(100);
    EXPECT_EQ(tool().alpha128, 128);
    PLR_SetDensity(256);
    EXPECT_EQ(tool().density, 255);
    PLR_SetMixMode(295, 127);
    EXPECT_EQ(tool().posterizeShift, 0);
    EXPECT_EQ(tool().mixStrengthInverse, 129);
    PLR_SetMixMode(295, 255);
    EXPECT_EQ(tool().posterizeShift, 16);
    PLR_SetMixMode(295, 0);
    EXPECT_EQ(tool().posterizeShift, -16);  // 16 * -127 / 127, truncated toward zero
    PLR_SetMixMode(295, 120);
    EXPECT_EQ(tool().posterizeShift, 0);  // -0.88 truncates to 0
    PLR_SetBlendStrength(100);
    EXPECT_EQ(tool().blendStrengthInverse, 156);
    PLR_SetBlendStrength(0);
    EXPECT_EQ(tool().blendStrength, 0);
    EXPECT_EQ(tool().blendStrengthInverse, 156);
    PLR_SetBlendPrimaryColorStrength(56);
    EXPECT_EQ(tool().blendPrimaryInverse, 200);
    PLR_SetBlendPrimaryColorStrength(-3);
    EXPECT_EQ(tool().blendPrimaryInverse, 200);
    PLR_SetRotateBrushMode(1, 90);
    const float radians = static_cast<float>(90 * 0.005555555555555556 * 3.14159);
    EXPECT_EQ(tool().rotateSin, std::sin(radians));
    EXPECT_EQ(tool().rotateCos, std::cos(radians));
    EXPECT_NEAR(tool().rotateSin, 1.0f, 1e-5);
    PLR_SetBlendRemix(0x1FF);
    EXPECT_EQ(tool().blendRemix, 0xFF);
}

TEST_F(ToolSettings, ColoursAndBanks) {
    PLR_SetColor(0x1FF, 0x80, 1);
    EXPECT_EQ(page().brush.dabColor.red, 0xFF00);
    EXPECT_EQ(page().brush.dabColor.green, 0x8000);
    EXPECT_EQ(page().brush.dabColor.blue, 0x0100);
    EXPECT_EQ(page().brush.dabColor.alpha, 65535);
    PLR_SetColor16(1, 65535, 300);
    EXPECT_EQ(page().brush.dabColor.red, 1);
    EXPECT_EQ(page().brush.dabColor.blue, 300);
    PLR_SetColorBanks(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x10C);
    EXPECT_EQ(page().brush.colorBanks[0].red, 256);
    EXPECT_EQ(page().brush.colorBanks[2].blue, 9 * 256);
    EXPECT_EQ(page().brush.colorBanks[3].blue, 12 * 256);
    EXPECT_EQ(page().brush.colorBanks[3].alpha, 65535);
}

TEST_F(ToolSettings, PixelWriteStaysInsideThePage) {
    PLR_CreateImage(nullptr, 4, 3, 8, 0);
    std::uint8_t buffer[3 * 16] = {};
    PLR_SetPixelRGB24(buffer, 16, 4, 0, 0xFFFF, 0xFFFF, 0xFFFF);  // x = width
    PLR_SetPixelRGB24(buffer, 16, 0, 3, 0xFFFF, 0xFFFF, 0xFFFF);  // y = height
    PLR_SetPixelRGB24(buffer, 16, -1, 0, 0xFFFF, 0xFFFF, 0xFFFF);
    for (std::uint8_t b : buffer) ASSERT_EQ(b, 0);
    PLR_SetPixelRGB24(buffer, 16, 3, 2, 0x1234, 0xABCD, 0x00FF);
    EXPECT_EQ(buffer[32 + 9], 0x12);
    EXPECT_EQ(buffer[32 + 10], 0xAB);
    EXPECT_EQ(buffer[32 + 11], 0x00);
    PLR_SetPixelRGB24(nullptr, 16, 0, 0, 1, 1, 1);
}

TEST_F(ToolSettings, SetToolStoresResetsAndClearsTheOneDabSwitches) {
    PLR_CreateImage(nullptr, 8, 8, 16, 0);
    PLR_SetSize(9);
    PLR_SetMixMode(300, 200);
    PLR_TempDisableBlend();
    PLR_SetEraseModeOn();
    PLR_SetTool(0.5f, 0, 1, 2, 0x180, 5, 6, 100, 200, 0x101, 0x1FF, 0x100, 7, "", "", 45);
    const BrushSettings& s = tool();
    EXPECT_EQ(s.shapeGain, 0.5f);
    EXPECT_EQ(s.gritCellThreshold, 1);
    EXPECT_EQ(s.gritPixelThreshold, 2);
    EXPECT_EQ(s.edgeSoftness, 0x80);
    EXPECT_EQ(s.colorVary, 5);
    EXPECT_EQ(s.drawingLength, 6);
    EXPECT_EQ(s.blendStrength, 100);
    EXPECT_EQ(s.blendStrengthInverse, 156);
    EXPECT_EQ(s.blendPrimaryInverse, 56);
    EXPECT_EQ(s.blendRemix, 1);
    EXPECT_EQ(s.reserved11, 0xFF);
    EXPECT_EQ(s.shapeInvert, 0);  // low byte of 0x100
    EXPECT_EQ(s.shapeAngle, 45);
    EXPECT_EQ(s.mixMode, 32);
    EXPECT_EQ(s.tempDisableBlend, 0);
    EXPECT_EQ(s.eraseMode, 0);
    EXPECT_EQ(page().brush.currentGrit, 19);
    // The circle was built (gain 0.5 of 65535 at the centre).
    EXPECT_EQ(page().brush.shapePlane[4 * 16 + 4], 32767);
    PLR_DecDrawingLength();
    EXPECT_EQ(page().brush.drawingCounter, -1);
    PLR_SetTracingMode(0x102);
    EXPECT_EQ(page().tracingMode, 2);
}

TEST_F(ToolSettings, SetToolWithoutAPageDoesNotTouchMemory) {
    PLR_SetSize(20);
    PLR_SetTool(1.0f, 4, 128, 128, 0, 0, 1, 0, 0, 0, 0, 0, 0, "x.png", "y.png", 0);
    EXPECT_EQ(tool().gritCellSize, 4);
}

}  // namespace
}  // namespace plr::test
