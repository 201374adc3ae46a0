// The brush shape plane: the soft circle's arithmetic, image and script
// sources, the source cache, fallbacks.
#include <cmath>
#include <cstring>
#include <string>

#include "brush_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {


constexpr int kMax = 40;

std::uint16_t shapeAt(int row, int col) { return page().brush.shapePlane[static_cast<std::size_t>(row) * kMax + col]; }

void tool(float gain, int softness, int invert, const char* shape = "", int angle = 0) {
    PLR_SetTool(gain, 0, 0, 0, softness, 0, 0, 0, 0, 0, 0, invert, 0, "", shape, angle);
}

class BrushShapeTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, 16, 16, kMax, 0);
    }
};

TEST_F(BrushShapeTest, HardCircleCoversTruncatedDistancesUpToTheRadius) {
    PLR_SetSize(9);
    tool(1.0f, 0, 0);
    for (int r = 0; r < kMax; ++r)
        for (int c = 0; c < kMax; ++c) {
            const int d = static_cast<int>(std::sqrt(double((r - 4) * (r - 4) + (c - 4) * (c - 4))));
            const std::uint16_t want = r < 9 && c < 9 && d <= 4 ? 65535 : 0;
            ASSERT_EQ(shapeAt(r, c), want) << r << "," << c;
        }
    // The rim at distance 4 is in, (0, 0) at distance 5 is out.
    EXPECT_EQ(shapeAt(4, 0), 65535);
    EXPECT_EQ(shapeAt(0, 0), 0);
}

TEST_F(BrushShapeTest, FullSoftnessFallsLinearlyToTheRadius) {
    PLR_SetSize(9);  // R = F = 4.5, inner radius 0
    tool(1.0f, 255, 0);
    EXPECT_EQ(shapeAt(4, 4), 65535);  // d = 0 is not beyond the inner radius
    EXPECT_EQ(shapeAt(4, 5), 50971);  // (4.5 - 1) / 4.5 * 65535 = 50971.67
    EXPECT_EQ(shapeAt(4, 6), 36408);  // 2.5 / 4.5
    EXPECT_EQ(shapeAt(6, 4), 36408);
    EXPECT_EQ(shapeAt(4, 8), 7281);   // 0.5 / 4.5
    EXPECT_EQ(shapeAt(0, 0), 0);
}

TEST_F(BrushShapeTest, InvertAndGain) {
    PLR_SetSize(9);
    tool(1.0f, 0, 1);  // hard inverted circle: nothing anywhere
    for (int r = 0; r < kMax; ++r)
        for (int c = 0; c < kMax; ++c) ASSERT_EQ(shapeAt(r, c), 0);
    tool(1.0f, 255, 1);
    EXPECT_EQ(shapeAt(4, 4), 0);
    EXPECT_EQ(shapeAt(4, 6), 29126);  // |trunc(36408.33 - 65535)|
    EXPECT_EQ(shapeAt(0, 0), 0);      // outside the radius stays 0
    tool(0.25f, 0, 0);
    EXPECT_EQ(shapeAt(4, 4), 16383);  // trunc(65535 * 0.25)
    tool(2.0f, 0, 0);  // a gain above 1 saturates instead of wrapping
    EXPECT_EQ(shapeAt(4, 4), 65535);
    tool(-1.0f, 0, 0);
    EXPECT_EQ(shapeAt(4, 4), 0);
}

TEST_F(BrushShapeTest, ShortPathsAndUnreadableFilesGiveTheCircleWithoutAnError) {
    PLR_SetSize(9);
    PLR_SetLastError("untouched");
    tool(1.0f, 0, 0, "x");
    EXPECT_EQ(shapeAt(4, 4), 65535);
    tool(1.0f, 0, 0, "/nonexistent/dir/tip.png");
    EXPECT_EQ(shapeAt(4, 4), 65535);
    EXPECT_EQ(shapeAt(0, 0), 0);
    const auto dir = scratchDir();
    writeBytes(dir / "cut.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H'});
    tool(1.0f, 0, 0, (dir / "cut.png").string().c_str());
    EXPECT_EQ(shapeAt(4, 4), 65535);
    EXPECT_STREQ(PLR_GetLastError(), "untouched");
    std::filesystem::remove_all(dir);
}

TEST_F(BrushShapeTest, ImageSourceIsScaledAndGained) {
    const auto dir = scratchDir();
    const auto path = (dir / "flat.png").string();
    writePng(path, 16, 16, greyPicture(16, 16, [](int, int) { return 100; }));
    PLR_SetSize(8);
    page().brush.settings.drawingLength = 4;
    tool(0.5f, 0, 0, path.c_str());
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) ASSERT_EQ(shapeAt(r, c), 12800) << r << "," << c;  // 100 * 256 * 0.5
    EXPECT_EQ(shapeAt(8, 8), 0);
    EXPECT_EQ(page().brush.drawingCounter, 0);  // SetTool's drawing length (argument 7 = 0)
    std::filesystem::remove_all(dir);
}

TEST_F(BrushShapeTest, CacheReusesPathAndAngleAndReloadsForANewAngle) {
    const auto dir = scratchDir();
    const auto path = (dir / "tip.png").string();
    writePng(path, 8, 8, greyPicture(8, 8, [](int x, int) { return x < 4 ? 255 : 0; }));
    PLR_SetSize(8);
    tool(1.0f, 0, 0, path.c_str(), 0);
    EXPECT_EQ(shapeAt(0, 0), 65280);
    EXPECT_EQ(shapeAt(0, 7), 0);
    // Replace the file: the same path and angle still use the cached picture.
    writePng(path, 8, 8, greyPicture(8, 8, [](int, int) { return 10; }));
    tool(1.0f, 0, 0, path.c_str(), 0);
    EXPECT_EQ(shapeAt(0, 0), 65280);
    // A new angle reloads the file, then turns it.
    writePng(path, 8, 8, greyPicture(8, 8, [](int x, int) { return x < 4 ? 255 : 0; }));
    tool(1.0f, 0, 0, path.c_str(), 180);
    EXPECT_EQ(shapeAt(0, 0), 0);
    EXPECT_EQ(shapeAt(0, 7), 65280);
    EXPECT_EQ(shapeAt(5, 3), 0);
    EXPECT_EQ(shapeAt(5, 4), 65280);
    EXPECT_EQ(page().brush.shapeSourceAngle, 180);
    // The cache holds the turned picture: the same angle again gives the same shape.
    tool(1.0f, 0, 0, path.c_str(), 180);
    EXPECT_EQ(shapeAt(0, 7), 65280);
    std::filesystem::remove_all(dir);
}

TEST_F(BrushShapeTest, ScriptsBuildShapesExceptThroughTheOriginalBuilder) {
    const std::string script = std::string(PALORAN_TEST_DATA) + "/scripts/soft_dot.efs";
    PLR_SetSize(32);
    tool(1.0f, 0, 0, script.c_str());
    EXPECT_EQ(shapeAt(16, 16), 65280);  // white centre
    EXPECT_EQ(shapeAt(0, 0), 0);        // black corner
    EXPECT_GT(shapeAt(16, 26), 0);      // the blurred rim
    EXPECT_LT(shapeAt(16, 26), 65280);
    PLR_SetBrushShape_ORIGINAL("", 0);  // drop nothing: the circle
    EXPECT_EQ(shapeAt(0, 0), 0);
    page().brush.shapeSource.reset();
    PLR_SetBrushShape_ORIGINAL(script.c_str(), 0);  // not an image file: the circle
    EXPECT_EQ(shapeAt(16, 16), 65535);
    EXPECT_EQ(shapeAt(16, 31), 65535);
}

TEST_F(BrushShapeTest, ShapeBlurLetsDarkBleedIntoLightAndHundredChangesNothing) {
    const auto dir = scratchDir();
    const auto path = (dir / "edge.png").string();
    writePng(path, 16, 16, greyPicture(16, 16, [](int x, int) { return x < 8 ? 0 : 255; }));
    PLR_SetSize(16);
    PLR_SetShapeBlur(100);
    tool(1.0f, 0, 0, path.c_str());
    EXPECT_EQ(shapeAt(5, 8), 65280);
    EXPECT_EQ(shapeAt(5, 7), 0);
    page().brush.shapeSource.reset();
    PLR_SetShapeBlur(50);
    tool(1.0f, 0, 0, path.c_str());
    EXPECT_LT(shapeAt(5, 8), 65280);  // lightened pixel next to the dark half got darker
    EXPECT_EQ(shapeAt(5, 7), 0);      // dark never gets lighter
    // The original builder ignores the blur.
    page().brush.shapeSource.reset();
    PLR_SetBrushShape_ORIGINAL(path.c_str(), 0);
    EXPECT_EQ(shapeAt(5, 8), 65280);
    std::filesystem::remove_all(dir);
}

TEST_F(BrushShapeTest, SourcesSmallerThanTheBrushAreEnlargedAndBadScriptsFallBack) {
    const auto dir = scratchDir();
    const auto path = (dir / "tiny.png").string();
    writePng(path, 2, 1, greyPicture(2, 1, [](int x, int) { return x ? 200 : 0; }));
    PLR_SetSize(8);
    tool(1.0f, 0, 0, path.c_str());
    // Bilinear enlargement, centres aligned: columns 0..1 take the left pixel,
    // 6..7 the right one; column 2 sits at 0.125 (weight 32/256 of 200 = 25).
    EXPECT_EQ(shapeAt(3, 0), 0);
    EXPECT_EQ(shapeAt(3, 2), 25 * 256);
    EXPECT_EQ(shapeAt(3, 7), 200 * 256);
    EXPECT_EQ(shapeAt(7, 7), 200 * 256);
    EXPECT_EQ(shapeAt(8, 7), 0);
    for (const char* text : {"effect-script 1\nsize 99999 5\nfill 1 1 1 1\n", "effect-script 1\nsize 4",
                             "effect-script 1\nsize 4 4\nfill 1 1 1\n"}) {
        writeText(dir / "bad.efs", text);
        page().brush.shapeSource.reset();
        tool(1.0f, 0, 0, (dir / "bad.efs").string().c_str());
        EXPECT_EQ(shapeAt(4, 4), 65535) << text;  // the circle
        EXPECT_EQ(shapeAt(0, 0), 0) << text;
    }
    std::filesystem::remove_all(dir);
}

TEST_F(BrushShapeTest, AllocationFailuresLeaveNoLeakAndReportTheShape) {
    const auto dir = scratchDir();
    const auto path = (dir / "tip.png").string();
    writePng(path, 24, 24, greyPicture(24, 24, [](int x, int y) { return x * 10 + y; }));
    PLR_SetSize(12);
    PLR_SetShapeBlur(30);
    const auto live = mem::stats().liveBlocks;
    forEachAllocationFailure(
        [] {
            page().brush.shapeSource.reset();
            PLR_SetLastError("");
        },
        [&] { PLR_SetBrushShape(path.c_str(), 30); },
        [&](int) { EXPECT_LE(mem::stats().liveBlocks, live + 1); });  // at most the cached source
    page().brush.shapeSource.reset();
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
