// Grey conversion, resampling, solid shapes, blur and effect 51.
#include <cstring>
#include <climits>
#include <cstdint>
#include <vector>

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/drawing.h"
#include "adapters/imaging/raster_grey.h"
#include "adapters/imaging/raster_resize.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

// The library state the engine keeps (the fixture resets it).
effect_lib::LibraryState& lib() { return engine().effectLibrary; }

using ImagingSeam = EngineTest;

TEST_F(ImagingSeam, GreyUsesIntegerLumaWeights) {
    const std::uint8_t px[] = {255, 255, 255, 9, 0, 0, 0, 9, 255, 0, 0, 9, 10, 20, 30, 9};
    std::uint8_t g[4] = {};
    ASSERT_EQ(imaging_lib::ImageToGrayScale8Bit(px, 4, 1, 4, 16, g, 4, 0), 1);
    EXPECT_EQ(g[0], 255);
    EXPECT_EQ(g[1], 0);
    EXPECT_EQ(g[2], 77);                                   // (77 * 255 + 128) >> 8 = 77.2
    EXPECT_EQ(g[3], (77 * 10 + 150 * 20 + 29 * 30 + 128) >> 8);  // 18
    EXPECT_EQ(imaging_lib::ImageToGrayScale8Bit(px, 4, 1, 2, 16, g, 4, 0), 0);
}

TEST_F(ImagingSeam, DecimateAveragesCoveredAreas) {
    // 4 x 1 -> 2 x 1: pairs averaged with rounding; 3 x 1 -> 2 x 1: thirds.
    const std::uint8_t a[] = {10, 20, 30, 41};
    std::uint8_t out[2] = {};
    ASSERT_EQ(imaging_lib::DecimateImage(a, 4, 1, 4, out, 2, 1, 2, 1, 1), 1);
    EXPECT_EQ(out[0], 15);
    EXPECT_EQ(out[1], 36);  // 35.5 rounds up
    const std::uint8_t b[] = {0, 90, 180};
    ASSERT_EQ(imaging_lib::DecimateImage(b, 3, 1, 3, out, 2, 1, 2, 1, 1), 1);
    EXPECT_EQ(out[0], 30);   // (0 * 2 + 90 * 1) / 3
    EXPECT_EQ(out[1], 150);  // (90 * 1 + 180 * 2) / 3
    // 2 x 2 RGBA to 1 x 1, and 16-bit channels.
    const std::uint8_t c[] = {0, 0, 0, 0, 4, 8, 12, 16, 8, 16, 24, 32, 12, 24, 36, 48};
    std::uint8_t o4[4];
    ASSERT_EQ(imaging_lib::DecimateImage(c, 2, 2, 8, o4, 1, 1, 4, 4, 1), 1);
    EXPECT_EQ(o4[0], 6);
    EXPECT_EQ(o4[3], 24);
    const std::uint16_t d[] = {0, 65535, 65535, 65535};
    std::uint16_t o16 = 0;
    ASSERT_EQ(imaging_lib::DecimateImage(d, 2, 2, 4, &o16, 1, 1, 2, 2, 1), 1);
    EXPECT_EQ(o16, 49151);  // 196605 / 4 = 49151.25
    EXPECT_EQ(imaging_lib::DecimateImage(a, 0, 1, 4, out, 2, 1, 2, 1, 1), 0);
    EXPECT_EQ(imaging_lib::DecimateImage(a, 4, 1, 2, out, 2, 1, 2, 1, 1), 0);  // stride shorter than a row
}

TEST_F(ImagingSeam, BilinearResizeAlignsPixelCentres) {
    const std::uint8_t a[] = {0, 100};
    std::uint8_t out[4] = {};
    ASSERT_EQ(imaging_lib::ResizeImage(a, 2, 1, 2, out, 4, 1, 4, 1), 1);
    // Centres at -0.25 (clamped 0), 0.25, 0.75, 1.25 (clamped 1).
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 25);
    EXPECT_EQ(out[2], 75);
    EXPECT_EQ(out[3], 100);
    std::uint8_t same[2];
    ASSERT_EQ(imaging_lib::ResizeImage(a, 2, 1, 2, same, 2, 1, 2, 1), 1);
    EXPECT_EQ(same[0], 0);
    EXPECT_EQ(same[1], 100);
}

TEST_F(ImagingSeam, RectanglesAndEllipsesAreClipped) {
    std::vector<std::uint8_t> g(10 * 6, 0);
    ASSERT_EQ(imaging_lib::FillSolidRect(g.data(), 10, 6, 1, 10, 8, -2, 20, 1, 7), 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(g[y * 10 + x], x >= 8 && y <= 1 ? 7 : 0);
    std::vector<std::uint8_t> e(9 * 9, 0);
    ASSERT_EQ(imaging_lib::DrawEllipseOnImage(e.data(), 9, 9, 1, 9, 4, 4, 4, 2, 1), 1);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const long in = long(x - 4) * (x - 4) * 4 + long(y - 4) * (y - 4) * 16 <= 64;
            ASSERT_EQ(e[y * 9 + x], in) << x << "," << y;
        }
    EXPECT_EQ(imaging_lib::DrawEllipseOnImage(e.data(), 9, 9, 1, 9, 4, 4, 0, 2, 1), 0);
    // Radii up to the integer limit: a huge ellipse round the picture covers
    // it; one whose lowest point is the middle of row 4 covers the rows above
    // and that one pixel.
    std::vector<std::uint8_t> huge(9 * 9, 0);
    ASSERT_EQ(imaging_lib::DrawEllipseOnImage(huge.data(), 9, 9, 1, 9, 4, 4, INT32_MAX, INT32_MAX, 1), 1);
    for (std::uint8_t v : huge) ASSERT_EQ(v, 1);
    std::vector<std::uint8_t> edge(9 * 9, 0);
    ASSERT_EQ(imaging_lib::DrawEllipseOnImage(edge.data(), 9, 9, 1, 9, 4, -1000000000 + 4, INT32_MAX, 1000000000, 1), 1);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(edge[y * 9 + x], y < 4 || (y == 4 && x == 4) ? 1 : 0) << x << "," << y;
}

TEST_F(ImagingSeam, BlurKeepsFlatPicturesAndSpreadsSymmetrically) {
    for (double radius : {2.0, 40.0}) {
        std::vector<std::uint8_t> flat(31 * 31, 77), out(31 * 31);
        ASSERT_EQ(imaging_lib::GaussianBlurImage(flat.data(), out.data(), 31, 31, 1, 31, radius, 15), 1);
        for (std::uint8_t v : out) ASSERT_EQ(v, 77) << radius;
        std::vector<std::uint8_t> dot(31 * 31, 0);
        dot[15 * 31 + 15] = 255;
        ASSERT_EQ(imaging_lib::GaussianBlurImage(dot.data(), out.data(), 31, 31, 1, 31, radius == 2.0 ? 3.0 : 5.0, 15), 1);
        EXPECT_LT(out[15 * 31 + 15], 255);
        EXPECT_EQ(out[15 * 31 + 14], out[15 * 31 + 16]);
        EXPECT_EQ(out[14 * 31 + 15], out[16 * 31 + 15]);
        EXPECT_EQ(out[14 * 31 + 15], out[15 * 31 + 14]);
    }
    std::vector<std::uint8_t> a(4, 9), b(4, 0);
    ASSERT_EQ(imaging_lib::GaussianBlurImage(a.data(), b.data(), 2, 2, 1, 2, 0.0, 15), 1);
    EXPECT_EQ(b, a);  // below half a pixel: a copy
}

TEST_F(ImagingSeam, RotationByQuarterTurnsMovesPixelsExactly) {
    // 3 x 3, pixel value = index; a quarter turn anticlockwise on screen puts
    // the top-right corner at the top-left.
    std::vector<std::uint8_t> px(9 * 4);
    for (int i = 0; i < 9; ++i) px[i * 4] = px[i * 4 + 3] = static_cast<std::uint8_t>(10 + i);
    ASSERT_TRUE(effect_lib::Initialize(lib()));
    ASSERT_TRUE(effect_lib::AddEffect(lib(), 51, 1));
    EXPECT_FALSE(effect_lib::AddEffect(lib(), 51, 1));  // one effect per script
    effect_lib::SetEffectValue(lib(), 0, 3, 90);
    effect_lib::SetEffectValue(lib(), 0, 4, 100);
    ASSERT_TRUE(effect_lib::ExecuteScriptOnImage(lib(), px.data(), 3, 3));
    effect_lib::Finish(lib());
    const int want[9] = {12, 15, 18, 11, 14, 17, 10, 13, 16};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(px[i * 4], want[i]) << i;
    // 45 degrees on a wide picture: the corners come from outside and are clear.
    std::vector<std::uint8_t> wide(8 * 2 * 4, 200);
    ASSERT_TRUE(effect_lib::rotateImage(wide.data(), 8, 2, 45, 100));
    EXPECT_EQ(wide[3], 0);
    EXPECT_FALSE(effect_lib::Initialize(lib()) && effect_lib::AddEffect(lib(), 12, 1));  // only effect 51 is known
    effect_lib::Finish(lib());
}

}  // namespace
}  // namespace plr::test
