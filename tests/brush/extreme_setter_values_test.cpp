// Setters given the ends of the 32-bit range: what they store and what the
// dab, the counter and the shape builder then compute stays defined (the
// sanitizer lane aborts on any overflow) and lands on the nearest
// representable result; in-range values keep their results.
#include <climits>
#include <filesystem>
#include <string>

#include "brush_test_support.h"
#include "dab_test_support.h"

namespace plr::test {
namespace {

using ExtremeSetterValues = DabTest;

const BrushSettings& brushSettings() { return page().brush.settings; }

void setTool(std::int32_t drawingLength, const char* shape = "", std::int32_t gritCellSize = 0) {
    PLR_SetTool(1.0f, gritCellSize, 128, 128, 0, 0, drawingLength, 0, 0, 0, 0, 0, 0, "", shape, 0);
}

TEST_F(ExtremeSetterValues, DensityIsTheValueLessOneHeldAtTheBottom) {
    PLR_SetDensity(INT_MIN);
    EXPECT_EQ(brushSettings().density, INT_MIN);  // still below every grit level: nothing passes
    PLR_SetDensity(INT_MIN + 1);
    EXPECT_EQ(brushSettings().density, INT_MIN);
    PLR_SetDensity(INT_MAX);
    EXPECT_EQ(brushSettings().density, INT_MAX - 1);
    PLR_SetDensity(0);
    EXPECT_EQ(brushSettings().density, -1);
    PLR_SetDensity(256);
    EXPECT_EQ(brushSettings().density, 255);
}

TEST_F(ExtremeSetterValues, DrawingCounterStopsAtTheBottom) {
    makePage(8, 8, 8, 4);
    for (std::int32_t length : {INT_MIN, INT_MAX, 3}) {
        setTool(length, "", 2);  // new grit: the counter starts at the drawing length
        ASSERT_EQ(page().brush.drawingCounter, length);
        PLR_DecDrawingLength();
        PLR_DecDrawingLength();
        EXPECT_EQ(page().brush.drawingCounter, length == INT_MIN ? INT_MIN : length - 2) << length;
    }
}

TEST_F(ExtremeSetterValues, MixStrengthInverseHeldInRange) {
    PLR_SetMixMode(250, INT_MIN);
    EXPECT_EQ(brushSettings().mixStrength, INT_MIN);
    EXPECT_EQ(brushSettings().mixStrengthInverse, INT_MAX);
    EXPECT_EQ(brushSettings().posterizeShift, static_cast<std::int32_t>(16.0 * (double(INT_MIN) - 127.0) / 127.0));
    PLR_SetMixMode(250, INT_MAX);
    EXPECT_EQ(brushSettings().mixStrengthInverse, 256 - INT_MAX);
    PLR_SetMixMode(250, 100);
    EXPECT_EQ(brushSettings().mixStrengthInverse, 156);
    // A dab under either extreme stays defined.
    makePage(8, 8, 8, 4);
    for (std::int32_t strength : {INT_MIN, INT_MAX}) {
        PLR_SetMixMode(250, strength);
        PLR_DrawDabGrit(4, 4, 10, 200, 30);
    }
}

TEST_F(ExtremeSetterValues, LayerTooWideForARowIsRefused) {
    PLR_CreateImage(nullptr, 8, 8, 8, 0);
    EXPECT_EQ(PLR_CreateLayer(59, INT_MAX, 256), 0);
    EXPECT_EQ(page().layers[59].rowValues, INT_MAX);
    EXPECT_FALSE(page().layers[59].hasPixels());
    EXPECT_EQ(PLR_CreateLayer(59, INT_MIN, 256), 1);  // negative: an empty layer
    EXPECT_EQ(page().layers[59].rowValues, 0);
    EXPECT_EQ(PLR_CreateLayer(59, 8, 8), 1);
    EXPECT_EQ(page().layers[59].rowValues, 32);
}

TEST_F(ExtremeSetterValues, ColourVariationAtTheTopDrivesChannelsToTheEnds) {
    makePage(8, 8, 8, 4);
    fillCurrent({0, 0, 0, 0});
    PLR_SetPixColorVary(INT_MAX);
    PLR_DrawDabGrit(2, 2, 10, 200, 30);
    // Every offset is far above 65535: each painted channel comes out full.
    const Px p = get(current(2, 2));
    EXPECT_EQ(p[0], 65535u);
    EXPECT_EQ(p[1], 65535u);
    EXPECT_EQ(p[2], 65535u);
    PLR_SetPixColorVary(INT_MIN);  // off: the plain colour at full coverage, (c * 65535) >> 16
    PLR_DrawDabGrit(2, 2, 0x0A00, 0xC800, 0x1E00);
    EXPECT_EQ(get(current(2, 2)), (Px{0x09FF, 0xC7FF, 0x1DFF, 65535}));
}

TEST_F(ExtremeSetterValues, ShapeBlurAtEitherEndBuildsAnImageShape) {
    const auto dir = scratchDir();
    const auto path = (dir / "tip.png").string();
    writePng(path, 12, 12, greyPicture(12, 12, [](int x, int y) { return (x * 20 + y * 3) & 0xFF; }));
    makePage(16, 16, 12, 12);
    for (std::int32_t blur : {INT_MAX, INT_MIN, 101}) {
        page().brush.shapeSource.reset();
        PLR_SetShapeBlur(blur);
        PLR_SetLastError("");
        setTool(5, path.c_str());
        EXPECT_STREQ(PLR_GetLastError(), "") << blur;
        EXPECT_EQ(page().brush.drawingCounter, 5) << blur;  // the image shape was built
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
