// The filter calls of the imaging library and the numbered effects: the
// properties every sound implementation has, worked values, and the
// repeatability of the random ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "adapters/effects/effect_numbered.h"
#include "adapters/imaging/filters_artistic.h"
#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/filters_noise.h"
#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/filters_smooth.h"
#include "adapters/imaging/filters_tone.h"

namespace plr::imaging_lib {
namespace {

constexpr int kW = 40, kH = 30;
using Pixels = std::vector<std::uint8_t>;

Pixels constant(int bpp, std::uint8_t v) { return Pixels(std::size_t(kW) * kH * bpp, v); }

Pixels noisy(int bpp, std::uint32_t seed) {
    Pixels px(std::size_t(kW) * kH * bpp);
    for (auto& v : px) v = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    return px;
}

std::uint64_t digest(const Pixels& px) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint8_t v : px) h = (h ^ v) * 1099511628211ull;
    return h;
}

using TwoRasterCall = std::function<std::int32_t(const std::uint8_t*, std::uint8_t*, int bpp)>;

TEST(ImagingFilters, ConstantPicturesStayConstantUnderBlursAndRankFilters) {
    std::vector<std::pair<const char*, TwoRasterCall>> calls = {
        {"level", [](auto* s, auto* d, int b) { return BlurImageLevel(s, kW, kH, b, kW * b, d, kW * b, 100, 15); }},
        {"radius", [](auto* s, auto* d, int b) { return BlurImageRadius(s, kW, kH, b, kW * b, d, kW * b, 7, 1.0, 15); }},
        {"gaussian", [](auto* s, auto* d, int b) { return GaussianBlurImage(s, d, kW, kH, b, kW * b, 30.0, 15); }},
        {"motion", [](auto* s, auto* d, int b) { return MotionBlur(s, kW, kH, b, kW * b, d, kW * b, 30, 12, 50, 0); }},
        {"radial", [](auto* s, auto* d, int b) { return MotionBlur(s, kW, kH, b, kW * b, d, kW * b, 0, 15, 0, 1); }},
        {"zoom", [](auto* s, auto* d, int b) { return MotionBlur(s, kW, kH, b, kW * b, d, kW * b, 0, 20, 100, 2); }},
        {"dust", [](auto* s, auto* d, int b) { return DustAndScratches(s, kW, kH, b, kW * b, d, kW * b, 3, 0, 1.0, 15); }},
        {"sharpen", [](auto* s, auto* d, int b) { return SharpenImage(s, kW, kH, b, kW * b, d, kW * b, 100, 15); }},
        {"unsharp", [](auto* s, auto* d, int b) { return UnsharpMaskImage(s, kW, kH, b, kW * b, d, kW * b, 0, 3.0, 2.0, 15); }},
    };
    for (Neighbourhood k : {Neighbourhood::ArithmeticMean, Neighbourhood::GeometricMean, Neighbourhood::HarmonicMean,
                            Neighbourhood::Maximum, Neighbourhood::Minimum, Neighbourhood::Midpoint,
                            Neighbourhood::Median})
        for (int size : {3, 4, 9})
            calls.push_back({"neighbourhood", [k, size](auto* s, auto* d, int b) {
                                 return NeighbourhoodFilter(k, s, kW, kH, b, kW * b, d, kW * b, size, 15);
                             }});
    for (int bpp : {3, 4})
        for (std::uint8_t v : {0, 1, 97, 254, 255}) {
            const Pixels in = constant(bpp, v);
            for (const auto& [name, call] : calls) {
                Pixels out(in.size(), 0);
                ASSERT_EQ(call(in.data(), out.data(), bpp), 1) << name;
                EXPECT_EQ(out, in) << name << " bpp " << bpp << " value " << int(v);
            }
            Pixels inPlace = in;
            ASSERT_EQ(DespeckleImage(inPlace.data(), kW, kH, bpp, kW * bpp, 15), 1);
            EXPECT_EQ(inPlace, in);
        }
    Pixels out(kW * kH * 3);
    const Pixels in = constant(3, 77);
    ASSERT_EQ(BilateralFilterImage(in.data(), kW, kH, 3, kW * 3, out.data(), kW * 3, 4, 0, 12.5, 135), 1);
    EXPECT_EQ(out, in);
}

TEST(ImagingFilters, RankFiltersRemoveSpecksAndKeepEdges) {
    // A step edge with one bright speck in the dark half.
    Pixels px(std::size_t(kW) * kH * 3);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < 3; ++c) px[(y * kW + x) * 3 + c] = x < kW / 2 ? 20 : 220;
    const Pixels edge = px;
    px[(10 * kW + 5) * 3 + 1] = 255;
    Pixels median(px.size());
    ASSERT_EQ(MedianCutImage(px.data(), kW, kH, 3, kW * 3, median.data(), kW * 3, 3, 15), 1);
    EXPECT_EQ(median, edge);
    ASSERT_EQ(DespeckleImage(px.data(), kW, kH, 3, kW * 3, 15), 1);
    EXPECT_EQ(px, edge);
    // Maximum spreads light by the reach, minimum dark.
    Pixels wide(px.size()), narrow(px.size());
    MaximumFilter(edge.data(), kW, kH, 3, kW * 3, wide.data(), kW * 3, 5, 15);
    MinimumFilter(edge.data(), kW, kH, 3, kW * 3, narrow.data(), kW * 3, 5, 15);
    EXPECT_EQ(wide[(kW / 2 - 2) * 3], 220);
    EXPECT_EQ(wide[(kW / 2 - 3) * 3], 20);
    EXPECT_EQ(narrow[(kW / 2 + 1) * 3], 20);
    EXPECT_EQ(narrow[(kW / 2 + 2) * 3], 220);
}

TEST(ImagingFilters, ThresholdGivesTwoValuesAndEqualisationSpreadsTwoLevels) {
    Pixels px = noisy(4, 5);
    ThresholdFilter(px.data(), kW, kH, 4, kW * 4, 60, 180, 15);
    std::set<int> values;
    for (std::size_t i = 0; i < px.size(); ++i)
        if (i % 4 != 3) values.insert(px[i]);
    EXPECT_EQ(values, (std::set<int>{0, 255}));

    for (int brightness = 0; brightness < 2; ++brightness) {
        Pixels two = constant(4, 100);
        for (std::size_t i = 0; i < two.size() / 2; ++i) two[i] = 150;
        for (std::size_t i = 3; i < two.size(); i += 4) two[i] = 255;
        if (brightness)
            BrightnessHistogramEqualizeImage(two.data(), kW, kH, 4, kW * 4, 0, 255, 15);
        else
            HistogramEqualizeImage(two.data(), kW, kH, 4, kW * 4, 0, 255, 15);
        std::set<int> levels;
        for (std::size_t i = 0; i < two.size(); ++i)
            if (i % 4 != 3) levels.insert(two[i]);
            else {
                EXPECT_EQ(two[i], 255) << "a one-level alpha stays";
            }
        EXPECT_EQ(levels, (std::set<int>{0, 255})) << brightness;
    }
}

TEST(ImagingFilters, ToneCallsAtWorkedValues) {
    Pixels px = {10, 128, 250, 77};
    auto one = [&](auto&& call) {
        Pixels p = px;
        call(p.data());
        return p;
    };
    EXPECT_EQ(one([](auto* p) { InvertImage(p, 1, 1, 4, 4, 0); }), (Pixels{245, 127, 5, 77}));
    EXPECT_EQ(one([](auto* p) { PosterizeRGB(p, 1, 1, 4, 4, 0); }), (Pixels{0, 170, 255, 77}));
    EXPECT_EQ(one([](auto* p) { SolarizeImage(p, 1, 1, 4, 4, 0); }), (Pixels{10, 127, 5, 77}));
    EXPECT_EQ(one([](auto* p) { AdjustGamma(p, 1, 1, 4, 4, 1.0, 0); }), px);
    EXPECT_EQ(one([](auto* p) { AdjustBrightnessContrast(p, 1, 1, 4, 4, 0, 0, 0); }), px);
    EXPECT_EQ(one([](auto* p) { ModifyImageSaturation(p, 1, 1, 4, 4, 1.0); }), px);
    EXPECT_EQ(one([](auto* p) { AdjustTint(p, 1, 1, 4, 4, 0, 0); }), px);
    // Saturation 0: the luma (77 * 10 + 150 * 128 + 29 * 250 + 128) >> 8 = 106 in all three.
    EXPECT_EQ(one([](auto* p) { ModifyImageSaturation(p, 1, 1, 4, 4, 0.0); }), (Pixels{106, 106, 106, 77}));
    // Duotone: black and white stay, mid-grey becomes the colour.
    Pixels ramp = {0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 255};
    DuotoneImage(ramp.data(), 3, 1, 4, 12, 0x0040A0C0u, 0);
    EXPECT_EQ(ramp, (Pixels{0, 0, 0, 255, 0xC0, 0xA0, 0x40, 255, 255, 255, 255, 255}));
}

TEST(ImagingFilters, RandomCallsRepeatForTheSameSeedEverywhere) {
    // Digests pinned on one platform: any other platform or build must give the same bytes.
    struct Case {
        const char* name;
        std::function<void(std::uint8_t*, std::int32_t)> run;
        std::uint64_t digest;
    };
    const Case cases[] = {
        {"gaussian", [](auto* p, auto s) { AddGaussianNoise(p, kW, kH, 4, kW * 4, 400, 0, 0, 0, 7, s); },
         3351609398313844892ull},
        {"uniform", [](auto* p, auto s) { AddUniformNoise(p, kW, kH, 4, kW * 4, 400, 0, 0, 1, 7, s); },
         16429367949767330217ull},
        {"exponential", [](auto* p, auto s) { AddNegativeExpNoise(p, kW, kH, 4, kW * 4, 400, 0, 7, s); },
         6017331825861879569ull},
        {"rayleigh", [](auto* p, auto s) { AddRayleighNoise(p, kW, kH, 4, kW * 4, 400, 0, 7, s); },
         9181380708911268229ull},
        {"coloured", [](auto* p, auto s) { GenerateColoredNoise(p, kW, kH, 4, kW * 4, 0x2080FF, 60, 0, s); },
         4740634542870025346ull},
        {"hugo", [](auto* p, auto s) { GenerateHugoNoise(p, kW, kH, kW * 4, 4, 5, 0.5, s); }, 8759749505022333825ull},
        {"perlin", [](auto* p, auto s) { GeneratePerlinNoise(p, kW, kH, kW * 4, 0.5, s); }, 12169769671188474689ull},
    };
    for (const Case& c : cases) {
        Pixels a = noisy(4, 9), b = a, other = a;
        c.run(a.data(), 1234);
        c.run(b.data(), 1234);
        c.run(other.data(), 4321);
        EXPECT_EQ(a, b) << c.name;
        EXPECT_NE(a, other) << c.name;
        EXPECT_EQ(digest(a), c.digest) << c.name;
    }
    Pixels g = constant(4, 128);
    AddGaussianNoise(g.data(), kW, kH, 4, kW * 4, 400, 0, 0, 0, 7, 1);
    double sum = 0, squares = 0;
    int n = 0;
    for (std::size_t i = 0; i < g.size(); ++i)
        if (i % 4 != 3) sum += g[i] - 128, squares += (g[i] - 128.0) * (g[i] - 128.0), ++n;
    EXPECT_NEAR(sum / n, 0.0, 1.5);
    EXPECT_NEAR(squares / n, 400.0, 40.0);
}

TEST(ImagingFilters, NumberedEffectsKeepAlphaAndDoWhatTheyName) {
    const Pixels start = noisy(4, 21);
    std::int32_t values[16] = {};
    for (std::int32_t number : {19, 23, 25, 26, 27, 28}) {
        ASSERT_TRUE(effect_lib::knownEffect(number));
        values[3] = 40, values[4] = 45, values[5] = 60, values[7] = 50;
        Pixels px = start;
        ASSERT_TRUE(effect_lib::runNumberedEffect(number, values, px.data(), kW, kH)) << number;
        EXPECT_NE(px, start) << number;
        for (std::size_t i = 3; i < px.size(); i += 4) ASSERT_EQ(px[i], start[i]) << number;
    }
    EXPECT_FALSE(effect_lib::knownEffect(999));
    // Colorize: a grey ramp at hue 0, full saturation, own lightness comes out red-dominant.
    Pixels grey = constant(4, 128);
    values[3] = 0, values[4] = 255, values[5] = 128;
    effect_lib::runNumberedEffect(28, values, grey.data(), kW, kH);
    EXPECT_GT(grey[2], 200);  // red is byte 2 of BGRA
    EXPECT_LT(grey[0], 20);
}

TEST(ImagingFilters, BadArgumentsAreRefused) {
    Pixels px = noisy(4, 3), out(px.size());
    EXPECT_EQ(BlurImageLevel(nullptr, kW, kH, 4, kW * 4, out.data(), kW * 4, 50, 15), 0);
    EXPECT_EQ(NeighbourhoodFilter(Neighbourhood::Median, px.data(), 0, kH, 4, kW * 4, out.data(), kW * 4, 3, 15), 0);
    EXPECT_EQ(MotionBlur(px.data(), kW, kH, 4, kW * 4 - 1, out.data(), kW * 4, 0, 5, 0, 0), 0);
    EXPECT_EQ(MotionBlur(px.data(), kW, kH, 4, kW * 4, out.data(), kW * 4, 0, 5, 0, 3), 0);
    EXPECT_EQ(UnsharpMaskImage(px.data(), kW, kH, 4, kW * 4, out.data(), kW * 4, 0, 1.0, 0.0, 15), 0);
    EXPECT_EQ(AdjustGamma(px.data(), kW, kH, 1, kW, 1.0, 0), 0);
    EXPECT_EQ(InnerGlowRGBA(px.data(), kW, kH, 3, kW * 3, 4, 0.5, 0, 0, 0), 0);
}

}  // namespace
}  // namespace plr::imaging_lib

#include "adapters/imaging/filters_blur_reference.h"

namespace plr::imaging_lib {
namespace {

TEST(ImagingFilters, GaussianBeyondItsDirectReachMatchesThePlainThreeBoxes) {
    for (int bpp : {1, 3, 4})
        for (double radius : {25.0, 31.0, 60.0, 200.0}) {
            const int w = 37, h = 23, stride = w * bpp + 3;
            Pixels in(std::size_t(stride) * h), fast(in.size()), plain(in.size());
            std::uint32_t seed = 99;
            for (auto& v : in) v = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
            ASSERT_EQ(GaussianBlurImage(in.data(), fast.data(), w, h, bpp, stride, radius, 0), 1);
            const double reach = std::min<double>(radius, std::max(w, h)), sigma = reach / 3.0;
            const int half = static_cast<int>(std::lround((std::sqrt(1.0 + 4.0 * sigma * sigma) - 1.0) / 2.0));
            reference::threeBoxBlur(in.data(), plain.data(), w, h, bpp, stride, half);
            for (int y = 0; y < h; ++y)
                ASSERT_TRUE(std::equal(&fast[std::size_t(y) * stride], &fast[std::size_t(y) * stride + w * bpp],
                                       &plain[std::size_t(y) * stride]))
                    << "bpp " << bpp << " radius " << radius << " row " << y;
        }
}

}  // namespace
}  // namespace plr::imaging_lib
