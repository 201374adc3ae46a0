// Hue/saturation/lightness and value adjustment of RGBA32 buffers: worked
// values, the grey and 360-degree cases, and the memo path against the plain
// per-pixel path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engine_fixture.h"
#include "imaging/hsl_adjust.h"

namespace plr::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes onePixel(int r, int g, int b, int a = 77) {
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b),
            static_cast<std::uint8_t>(a)};
}

Bytes hsl(Bytes px, int h, int s, int l) {
    PLR_ProcessBuffer_HSLAdjust(px.data(), 1, 1, h, s, l);
    return px;
}
Bytes hsv(Bytes px, int h, int s, int v) {
    PLR_ProcessBuffer_HSVAdjust(px.data(), 1, 1, h, s, v);
    return px;
}

using HslAdjust = EngineTest;

TEST_F(HslAdjust, WorkedValuesForBothOperations) {
    // Expected bytes worked out independently: RGB to HSL/HSV, shift, back.
    EXPECT_EQ(hsl(onePixel(255, 0, 0), 180, 0, 0), onePixel(0, 255, 255));
    EXPECT_EQ(hsv(onePixel(255, 0, 0), 180, 0, 0), onePixel(0, 255, 255));
    EXPECT_EQ(hsl(onePixel(10, 200, 60), -90, -20, 15), onePixel(222, 184, 64));
    EXPECT_EQ(hsv(onePixel(10, 200, 60), -90, -20, 15), onePixel(238, 195, 59));
    // 315.8 + 400 = 715.8: > 360 loses 360 once, staying above 360 (HslHueToChannel and the
    // sector fallback then decide).
    EXPECT_EQ(hsl(onePixel(200, 10, 150), 400, 30, -10), onePixel(159, 0, 11));
    EXPECT_EQ(hsv(onePixel(200, 10, 150), 400, 30, -10), onePixel(174, 0, 12));
    EXPECT_EQ(hsl(onePixel(255, 0, 1), 1, 0, 0), onePixel(255, 3, 0));
}

TEST_F(HslAdjust, ZeroShiftsGiveTheTruncatedRoundTrip) {
    EXPECT_EQ(hsl(onePixel(10, 200, 60), 0, 0, 0), onePixel(9, 200, 59));
    EXPECT_EQ(hsv(onePixel(10, 200, 60), 0, 0, 0), onePixel(9, 200, 59));
    EXPECT_EQ(hsl(onePixel(128, 128, 128), 0, 0, 0), onePixel(128, 128, 128));
    EXPECT_EQ(hsv(onePixel(1, 2, 3), 0, 0, 0), onePixel(1, 2, 3));
}

TEST_F(HslAdjust, GreysStayGreyInHsvButTakeTheHueShiftInHsl) {
    EXPECT_EQ(hsv(onePixel(128, 128, 128), 0, 50, 0), onePixel(128, 128, 128));
    EXPECT_EQ(hsv(onePixel(128, 128, 128), 120, 50, 0), onePixel(128, 128, 128));
    EXPECT_EQ(hsl(onePixel(128, 128, 128), 0, 50, 0), onePixel(191, 64, 64));    // red
    EXPECT_EQ(hsl(onePixel(128, 128, 128), 120, 50, 0), onePixel(64, 191, 64));  // green
}

TEST_F(HslAdjust, HueLandingOn360IsTheSameAsZero) {
    EXPECT_EQ(hsl(onePixel(255, 0, 0), 360, 0, 0), onePixel(255, 0, 0));
    EXPECT_EQ(hsv(onePixel(255, 0, 0), 360, 0, 0), onePixel(255, 0, 0));
    // 240 + 120 = 360 exactly: passed on as 360, shown as red.
    EXPECT_EQ(hsv(onePixel(0, 0, 255), 120, 0, 0), onePixel(255, 0, 0));
    EXPECT_EQ(hsl(onePixel(0, 0, 255), 120, 0, 0), onePixel(255, 0, 0));
    // 0 - 30 < 0: gains 360 once.
    EXPECT_EQ(hsv(onePixel(255, 0, 0), -120, 0, 0), onePixel(0, 0, 255));
}

TEST_F(HslAdjust, FullLightnessShiftsAndAlphaUntouched) {
    EXPECT_EQ(hsl(onePixel(77, 33, 99, 5), 0, 0, 100), onePixel(255, 255, 255, 5));
    EXPECT_EQ(hsl(onePixel(77, 33, 99, 5), 0, 0, -100), onePixel(0, 0, 0, 5));
    EXPECT_EQ(hsv(onePixel(77, 33, 99, 5), 0, 0, -100), onePixel(0, 0, 0, 5));
    // Value 1 keeps the hue and saturation of a colour.
    EXPECT_EQ(hsv(onePixel(77, 33, 99, 5), 0, 0, 100), onePixel(198, 85, 255, 5));
}

TEST_F(HslAdjust, BadSizesAndNullBuffersDoNothing) {
    Bytes px = onePixel(255, 0, 0);
    PLR_ProcessBuffer_HSLAdjust(px.data(), 0, 1, 180, 0, 0);
    PLR_ProcessBuffer_HSVAdjust(px.data(), 1, -1, 180, 0, 0);
    PLR_ProcessBuffer_HSVAdjust(px.data(), -5, -5, 180, 0, 0);
    EXPECT_EQ(px, onePixel(255, 0, 0));
    PLR_ProcessBuffer_HSLAdjust(nullptr, 10, 10, 180, 0, 0);
    PLR_ProcessBuffer_HSVAdjust(nullptr, 10, 10, 180, 0, 0);
    // Extreme shifts stay bytes.
    px = onePixel(30, 60, 90);
    PLR_ProcessBuffer_HSVAdjust(px.data(), 1, 1, INT32_MAX, INT32_MIN, INT32_MAX);
    PLR_ProcessBuffer_HSLAdjust(px.data(), 1, 1, INT32_MIN, INT32_MAX, INT32_MIN);
}

TEST_F(HslAdjust, WritesExactlyWidthTimesHeightPixels) {
    Bytes buf(4 * 7 * 3 + 16, 0xAB);
    PLR_ProcessBuffer_HSLAdjust(buf.data(), 7, 3, 90, 10, 10);
    for (std::size_t i = 4 * 21; i < buf.size(); ++i) ASSERT_EQ(buf[i], 0xAB) << i;
    EXPECT_NE(buf[0], 0xAB);
}

// Random pixels, biased towards greys, extremes and repeats.
Bytes randomPixels(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(4 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned kind = rng() % 8;
        std::uint8_t* p = &b[4 * i];
        if (kind == 0 && i > 0) {
            std::copy_n(p - 4, 4, p);
            continue;
        }
        for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(rng());
        if (kind == 1) p[1] = p[2] = p[0];
        if (kind == 2) p[rng() % 3] = 0xFF;
        if (kind == 3) p[rng() % 3] = 0;
    }
    return b;
}

// Smooth gradients, flat areas and a little noise, like a painting.
Bytes paintingLike(int w, int h, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(4 * static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &b[4 * (static_cast<std::size_t>(y) * w + x)];
            if ((x / 16 + y / 16) % 3 == 0) {
                p[0] = 200, p[1] = 180, p[2] = 40;  // flat
            } else {
                p[0] = static_cast<std::uint8_t>(x * 255 / (w - 1));
                p[1] = static_cast<std::uint8_t>(y * 255 / (h - 1));
                p[2] = static_cast<std::uint8_t>((x + y) / 2 + (rng() % 3));
            }
            p[3] = static_cast<std::uint8_t>(x);
        }
    return b;
}

TEST_F(HslAdjust, MemoPathMatchesThePlainPathBitForBit) {
    const ColourShift shifts[] = {{0, 0, 0}, {180, 0, 0}, {-37, 25, -13}, {359, -100, 100}, {360, 50, 0}, {1, 1, 1}};
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        for (const ColourShift& s : shifts) {
            for (int kind = 0; kind < 2; ++kind) {
                const int w = kind ? 97 : 4096, h = kind ? 61 : 24;
                const Bytes src = kind ? paintingLike(w, h, seed) : randomPixels(static_cast<std::size_t>(w) * h, seed);
                Bytes a = src, b = src, c = src, d = src;
                hslAdjustPlain(a.data(), w, h, s);
                hslAdjust(b.data(), w, h, s);
                ASSERT_EQ(a, b) << "HSL seed " << seed << " kind " << kind << " hue " << s.hue;
                hsvAdjustPlain(c.data(), w, h, s);
                hsvAdjust(d.data(), w, h, s);
                ASSERT_EQ(c, d) << "HSV seed " << seed << " kind " << kind << " hue " << s.hue;
            }
        }
    }
}

TEST_F(HslAdjust, OddWidthsAndExtremeColoursMatchThePlainPath) {
    const ColourShift s{-200, 70, -45};
    for (int w = 1; w <= 67; ++w) {
        const int h = 1 + w % 5;
        Bytes src = randomPixels(static_cast<std::size_t>(w) * h, static_cast<std::uint32_t>(w));
        // Extremes: black, white, 0xFF00-like full channels, a run of one colour.
        for (std::size_t i = 0; i < src.size(); i += 28) src[i] = src[i + 1] = src[i + 2] = (i / 28) % 2 ? 0xFF : 0;
        Bytes a = src, b = src, c = src, d = src;
        hslAdjustPlain(a.data(), w, h, s);
        hslAdjust(b.data(), w, h, s);
        hsvAdjustPlain(c.data(), w, h, s);
        hsvAdjust(d.data(), w, h, s);
        ASSERT_EQ(a, b) << w;
        ASSERT_EQ(c, d) << w;
    }
}

TEST_F(HslAdjust, EveryByteColourThroughTheExportMatchesThePixelFunction) {
    // All 2^24 colours would be slow; a lattice with every channel value once.
    Bytes buf;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 15) buf.insert(buf.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), 9});
    const int n = static_cast<int>(buf.size() / 4);
    Bytes out = buf;
    PLR_ProcessBuffer_HSVAdjust(out.data(), n, 1, 77, -30, 20);
    for (int i = 0; i < n; ++i) {
        const Rgb8 e = hsvAdjustPixel(Rgb8{buf[4 * i], buf[4 * i + 1], buf[4 * i + 2]}, ColourShift{77, -30, 20});
        ASSERT_EQ(out[4 * i], e.r);
        ASSERT_EQ(out[4 * i + 1], e.g);
        ASSERT_EQ(out[4 * i + 2], e.b);
        ASSERT_EQ(out[4 * i + 3], 9);
    }
}

}  // namespace
}  // namespace plr::test
