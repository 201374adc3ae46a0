// Colour-space conversions against values worked out independently (by hand
// and with a short script following the same formulas).
#include <gtest/gtest.h>

#include <limits>

#include "imaging/colour_spaces.h"

namespace plr {
namespace {

constexpr double kEps = 1e-9;

void expectRgb(Rgb8 got, int r, int g, int b) {
    EXPECT_EQ(got.r, r);
    EXPECT_EQ(got.g, g);
    EXPECT_EQ(got.b, b);
}

TEST(ColourSpaces, RgbToHsvPrimariesGreysAndTheWrappedRedHue) {
    Hsv c = RgbToHsv(128, 128, 128);
    EXPECT_EQ(c.h, -1.0);
    EXPECT_EQ(c.s, 0.0);
    EXPECT_NEAR(c.v, 128.0 / 255.0, kEps);
    c = RgbToHsv(0, 0, 0);
    EXPECT_EQ(c.h, -1.0);
    EXPECT_EQ(c.v, 0.0);

    c = RgbToHsv(255, 0, 0);
    EXPECT_EQ(c.h, 0.0);
    EXPECT_EQ(c.s, 1.0);
    EXPECT_EQ(c.v, 1.0);
    EXPECT_NEAR(RgbToHsv(0, 255, 0).h, 120.0, kEps);
    EXPECT_NEAR(RgbToHsv(0, 0, 255).h, 240.0, kEps);
    // Negative H wraps: 360 - 60/255.
    EXPECT_NEAR(RgbToHsv(255, 0, 1).h, 359.7647058823529, 1e-9);

    c = RgbToHsv(10, 200, 60);
    EXPECT_NEAR(c.h, 135.78947368421052, kEps);
    EXPECT_NEAR(c.s, 0.95, kEps);
    EXPECT_NEAR(c.v, 0.7843137254901961, kEps);
    EXPECT_NEAR(RgbToHsv(200, 10, 150).h, 315.7894736842105, kEps);
    c = RgbToHsv(1, 2, 3);
    EXPECT_NEAR(c.h, 210.0, kEps);
    EXPECT_NEAR(c.s, 2.0 / 3.0, kEps);
}

TEST(ColourSpaces, RgbToHsvTestsRedBeforeGreenOnTies) {
    // Red and green both maximal: the red branch gives (g - b) / d * 60 = 60.
    EXPECT_NEAR(RgbToHsv(255, 255, 0).h, 60.0, kEps);
    // Green and blue both maximal: the green branch, (b - r) / d + 2 -> 180.
    EXPECT_NEAR(RgbToHsv(0, 255, 255).h, 180.0, kEps);
}

TEST(ColourSpaces, HsvToRgbSectorsHue360AndTruncation) {
    expectRgb(HsvToRgb(0, 1, 1), 255, 0, 0);
    expectRgb(HsvToRgb(360, 1, 1), 255, 0, 0);
    EXPECT_EQ(HsvToRgb(360, 0.4, 0.6), HsvToRgb(0, 0.4, 0.6));
    expectRgb(HsvToRgb(60, 1, 1), 255, 255, 0);
    expectRgb(HsvToRgb(120, 1, 1), 0, 255, 0);
    expectRgb(HsvToRgb(240, 1, 1), 0, 0, 255);
    expectRgb(HsvToRgb(300, 1, 1), 255, 0, 255);
    expectRgb(HsvToRgb(200, 0.5, 0.7), 89, 148, 178);
    expectRgb(HsvToRgb(359.9, 0.3, 0.8), 204, 142, 142);
    // 0.999 * 255 = 254.745: truncated, never rounded.
    expectRgb(HsvToRgb(0, 0, 0.999), 254, 254, 254);
    expectRgb(HsvToRgb(-1, 0, 0.5), 127, 127, 127);
}

TEST(ColourSpaces, HsvToRgbOutsideTheSectorsIsSectorOne) {
    // h = 400/60 -> floor 6: treated as sector 1 (q, V, p) with f = 2/3.
    // q = 1 - 0.5 * f with f = 400/60 - 6 just above 2/3: 169.99.. truncates to 169; p = 0.5 -> 127.
    expectRgb(HsvToRgb(400, 0.5, 1), 169, 255, 127);
    // Values beyond 1 are pinned instead of wrapping around the byte.
    expectRgb(HsvToRgb(0, 0, 2.0), 255, 255, 255);
    expectRgb(HsvToRgb(0, 0, -0.5), 0, 0, 0);
}

TEST(ColourSpaces, RgbToHslPrimariesAndGreys) {
    Hsl c = RgbToHsl(255, 255, 255);
    EXPECT_EQ(c.h, 0.0);
    EXPECT_EQ(c.s, 0.0);
    EXPECT_EQ(c.l, 1.0);
    c = RgbToHsl(64, 64, 64);
    EXPECT_EQ(c.h, 0.0);
    EXPECT_NEAR(c.l, 64.0 / 255.0, kEps);
    c = RgbToHsl(255, 0, 0);
    EXPECT_NEAR(c.h, 0.0, kEps);
    EXPECT_EQ(c.s, 1.0);
    EXPECT_EQ(c.l, 0.5);
    EXPECT_NEAR(RgbToHsl(0, 255, 0).h, 120.0, 1e-9);
    EXPECT_NEAR(RgbToHsl(0, 0, 255).h, 240.0, kEps);
    c = RgbToHsl(10, 200, 60);
    EXPECT_NEAR(c.h, 135.78947368421052, kEps);
    EXPECT_NEAR(c.s, 0.9047619047619049, kEps);
    EXPECT_NEAR(c.l, 0.4117647058823529, kEps);
    c = RgbToHsl(1, 2, 3);  // light below 0.5: S = d / (max + min)
    EXPECT_NEAR(c.h, 210.0, kEps);
    EXPECT_NEAR(c.s, 0.5, kEps);
    c = RgbToHsl(255, 200, 250);  // light above 0.5: S = d / (2 - max - min)
    EXPECT_NEAR(c.s, (55.0 / 255.0) / (2.0 - 1.0 - 200.0 / 255.0), kEps);
}

TEST(ColourSpaces, HslToRgbAndTheChannelHelper) {
    expectRgb(HslToRgb(0, 1, 0.5), 255, 0, 0);
    expectRgb(HslToRgb(120, 1, 0.5), 0, 255, 0);
    expectRgb(HslToRgb(240, 1, 0.5), 0, 0, 255);
    expectRgb(HslToRgb(0, 0, 1), 255, 255, 255);
    expectRgb(HslToRgb(200, 0.5, 0.7), 140, 191, 216);
    expectRgb(HslToRgb(30, 0.8, 0.3), 137, 76, 15);
    expectRgb(HslToRgb(359.9, 0.3, 0.8), 219, 188, 188);
    expectRgb(HslToRgb(0, 0, 0.999), 254, 254, 254);
    // HslHueToChannel(m1 = 0.2, m2 = 0.8, h): the four pieces and the single wrap.
    EXPECT_EQ(HslHueToChannel(0.2, 0.8, 30), 127);   // 0.5 * 255 = 127.5
    EXPECT_EQ(HslHueToChannel(0.2, 0.8, 100), 204);  // m2
    EXPECT_EQ(HslHueToChannel(0.2, 0.8, 210), 127);
    EXPECT_EQ(HslHueToChannel(0.2, 0.8, 300), 51);   // m1
    EXPECT_EQ(HslHueToChannel(0.2, 0.8, 390), 127);  // wraps to 30
    EXPECT_EQ(HslHueToChannel(0.2, 0.8, -330), 127); // wraps to 30
    EXPECT_EQ(HslHueToChannel(0.2, 0.8, 360), 51);   // 360 is not wrapped
}

TEST(ColourSpaces, XyzAndLabOfWhiteBlackAndPrimaries) {
    Xyz w = RgbToXyz(255, 255, 255);
    EXPECT_NEAR(w.x, 95.05, 1e-9);
    EXPECT_NEAR(w.y, 100.0, 1e-9);
    EXPECT_NEAR(w.z, 108.9, 1e-9);
    Lab l = XyzToLab(w.x, w.y, w.z);
    EXPECT_NEAR(l.l, 100.0, 1e-9);
    EXPECT_NEAR(l.a, 0.00526049995830391, 1e-9);
    EXPECT_NEAR(l.b, -0.010408184525267927, 1e-9);

    Xyz k = RgbToXyz(0, 0, 0);
    EXPECT_EQ(k.x, 0.0);
    EXPECT_EQ(k.y, 0.0);
    EXPECT_EQ(k.z, 0.0);
    l = XyzToLab(0, 0, 0);  // the linear branch: 116 * 16/116 - 16 = 0
    EXPECT_NEAR(l.l, 0.0, 1e-12);

    Xyz r = RgbToXyz(255, 0, 0);
    EXPECT_NEAR(r.x, 41.24, 1e-9);
    EXPECT_NEAR(r.y, 21.26, 1e-9);
    EXPECT_NEAR(r.z, 1.93, 1e-9);
    l = RgbToLab(255, 0, 0);
    EXPECT_NEAR(l.l, 53.23288178584245, 1e-9);
    EXPECT_NEAR(l.a, 80.10930952982204, 1e-9);
    EXPECT_NEAR(l.b, 67.22006831026425, 1e-9);

    // The linear segment of the sRGB curve (10/255 < 0.04045) and the power segment.
    Xyz d = RgbToXyz(10, 20, 30);
    EXPECT_NEAR(d.x, 0.6096741300883737, 1e-9);
    EXPECT_NEAR(d.y, 0.6585790668061924, 1e-9);
    EXPECT_NEAR(d.z, 1.323280584338241, 1e-9);
    l = RgbToLab(200, 150, 100);
    EXPECT_NEAR(l.l, 65.75812595772122, 1e-9);
    EXPECT_NEAR(l.a, 12.762402335571633, 1e-9);
    EXPECT_NEAR(l.b, 33.55773023001405, 1e-9);
}

TEST(ColourSpaces, XyzToRgbTruncatesAndClampsOutOfGamut) {
    // The D65 white itself lands just below 255 in blue: truncated, not rounded.
    expectRgb(XyzToRgb(95.047, 100, 108.883), 255, 255, 254);
    expectRgb(XyzToRgb(41.24, 21.26, 1.93), 254, 0, 0);
    // Pure X: red far above 1 pins at 255, green negative pins at 0.
    expectRgb(XyzToRgb(100, 0, 0), 255, 0, 66);
    expectRgb(XyzToRgb(0, 0, 100), 0, 57, 255);
    expectRgb(XyzToRgb(20, 30, 40), 0, 166, 164);
    expectRgb(XyzToRgb(1000, 1000, 1000), 255, 255, 255);
    expectRgb(XyzToRgb(-50, -50, -50), 0, 0, 0);
}

TEST(ColourSpaces, LabToXyzAndBack) {
    Xyz x = LabToXyz(100, 0, 0);
    EXPECT_NEAR(x.x, kWhiteX, 1e-9);
    EXPECT_NEAR(x.y, kWhiteY, 1e-9);
    EXPECT_NEAR(x.z, kWhiteZ, 1e-9);
    x = LabToXyz(50, 20, -30);
    EXPECT_NEAR(x.x, 21.464289520091523, 1e-9);
    EXPECT_NEAR(x.y, 18.418651851244416, 1e-9);
    EXPECT_NEAR(x.z, 40.465439576135765, 1e-9);
    expectRgb(LabToRgb(50, 20, -30), 126, 109, 170);
    expectRgb(LabToRgb(0, 0, 0), 0, 0, 0);
    expectRgb(LabToRgb(53.2, 80.1, 67.2), 254, 0, 0);
    // Far outside the gamut: still bytes, pinned.
    expectRgb(LabToRgb(30, 200, -200), 0, 0, 255);
    // a* = -500 gives fx = 16/116 - 1: the linear branch yields a negative X, set to 0.
    x = LabToXyz(0, -500, 0);
    EXPECT_EQ(x.x, 0.0);
}

TEST(ColourSpaces, CmykOfBlackWhiteAndColours) {
    Cmyk c = RgbToCmyk(0, 0, 0);
    EXPECT_EQ(c.c, 0.0);
    EXPECT_EQ(c.m, 0.0);
    EXPECT_EQ(c.y, 0.0);
    EXPECT_EQ(c.k, 1.0);
    c = RgbToCmyk(255, 255, 255);
    EXPECT_EQ(c.c, 0.0);
    EXPECT_EQ(c.m, 0.0);
    EXPECT_EQ(c.y, 0.0);
    EXPECT_EQ(c.k, 0.0);
    c = RgbToCmyk(10, 200, 60);
    EXPECT_NEAR(c.c, 0.95, kEps);
    EXPECT_NEAR(c.m, 0.0, kEps);
    EXPECT_NEAR(c.y, 0.7, kEps);
    EXPECT_NEAR(c.k, 0.21568627450980393, kEps);
    c = CmyToCmyk(1.5, 2.0, 3.0);  // K is at most 1
    EXPECT_EQ(c.k, 1.0);
    EXPECT_EQ(c.c, 0.0);

    expectRgb(CmykToRgb(0, 0, 0, 1), 0, 0, 0);
    expectRgb(CmykToRgb(0, 0, 0, 0), 255, 255, 255);
    expectRgb(CmykToRgb(0.5, 0.25, 0, 0.2), 101, 153, 204);
    expectRgb(CmykToRgb(1, 0, 0, 0), 0, 255, 255);
}

TEST(ColourSpaces, EveryByteColourSurvivesHsvAndHslWithinOneStep) {
    // Truncation may lose at most one step per channel on the round trip,
    // never gain one.
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 7) {
                const Hsv v = RgbToHsv(r, g, b);
                const Rgb8 a = HsvToRgb(v.h, v.s, v.v);
                const Hsl l = RgbToHsl(r, g, b);
                const Rgb8 c = HslToRgb(l.h, l.s, l.l);
                ASSERT_TRUE(a.r <= r && r - a.r <= 1 && a.g <= g && g - a.g <= 1 && a.b <= b && b - a.b <= 1)
                    << r << "," << g << "," << b;
                ASSERT_TRUE(c.r <= r + 1 && r - c.r <= 1 && c.g <= g + 1 && g - c.g <= 1 && c.b <= b + 1 &&
                            b - c.b <= 1)
                    << r << "," << g << "," << b;
            }
}

TEST(ColourSpaces, NonFiniteInputGivesBytesNotUndefinedBehaviour) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    (void)HsvToRgb(nan, 0.5, 0.5);
    (void)HsvToRgb(inf, 0.5, 0.5);
    (void)HsvToRgb(-1e300, 0.5, 0.5);
    expectRgb(HsvToRgb(0, 0, nan), 0, 0, 0);
    (void)HslToRgb(nan, 0.5, 0.5);
    expectRgb(XyzToRgb(nan, nan, nan), 0, 0, 0);
    expectRgb(CmykToRgb(-3, -3, -3, 0), 255, 255, 255);
}

}  // namespace
}  // namespace plr
