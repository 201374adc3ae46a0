// The filter dispatcher: pipeline shapes, argument arithmetic, the mask and
// the alpha lock, exact names, and a sweep over every catalogue name.
#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "adapters/effects/effect_numbered.h"
#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/filters_smooth.h"
#include "adapters/imaging/filters_tone.h"
#include "effect_library_support.h"
#include "engine/filter_catalogue.h"
#include "engine_fixture.h"
#include "imaging/alpha_premultiply.h"

namespace plr::test {
namespace {

constexpr int kW = 24, kH = 16;

struct Settings {
    std::array<std::int32_t, 6> p{500, 500, 500, 500, 500, 500};
    std::array<std::int32_t, 8> option{};
    std::int32_t red = 200, green = 120, blue = 40;
    std::int32_t random = 1234;
    std::string text;
};

std::vector<std::uint8_t> randomPicture(int w, int h, std::uint32_t seed, bool opaque) {
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < px.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        px[i] = static_cast<std::uint8_t>(seed >> 24);
        if (opaque && i % 4 == 3) px[i] = 255;
    }
    return px;
}

class FilterDispatch : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        openPage(kW, kH, randomPicture(kW, kH, 7, true));
    }
    void openPage(int w, int h, const std::vector<std::uint8_t>& picture) {
        width = w, height = h;
        PLR_CreateImage(nullptr, w, h, 8, 0);
        PLR_CreateLayer(1, w, h);
        PLR_CreateLayer(2, w, h);
        PLR_SetLayer(2);
        PLR_LoadRGBA32(picture.data(), w * 4, 0);
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
    }
    std::int32_t process(const char* name, const Settings& s = {}) {
        return PLR_IPLImageProcess(0, name, s.random, s.p[0], s.p[1], s.p[2], s.p[3], s.p[4], s.p[5], s.option[0],
                                   s.option[1], s.option[2], s.option[3], s.option[4], s.option[5], s.option[6],
                                   s.option[7], s.red, s.green, s.blue, s.text.c_str());
    }
    std::vector<std::uint8_t> layer() {
        std::vector<std::uint8_t> out(std::size_t(width) * height * 4);
        PLR_GetRGBA32Layer(out.data(), width * 4, 2);
        return out;
    }
    void setLayer(const std::vector<std::uint8_t>& px) { PLR_LoadRGBA32(px.data(), width * 4, 0); }
    std::vector<std::uint8_t> src32() {
        const auto& b = page().processing.src32;
        return {b.data(), b.data() + b.size()};
    }
    std::vector<std::uint8_t> dst32() {
        const auto& b = page().processing.dst32;
        return {b.data(), b.data() + b.size()};
    }
    static std::vector<std::uint8_t> rgbOf(const std::vector<std::uint8_t>& rgba) {
        std::vector<std::uint8_t> rgb;
        for (std::size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), &rgba[i], &rgba[i + 3]);
        return rgb;
    }
    static std::vector<std::uint8_t> withRgb(std::vector<std::uint8_t> rgba, const std::vector<std::uint8_t>& rgb) {
        for (std::size_t i = 0; i * 3 < rgb.size(); ++i) std::memcpy(&rgba[i * 4], &rgb[i * 3], 3);
        return rgba;
    }
    int width = 0, height = 0;
};

// Every catalogue row runs something: an operation wherever the shape needs
// one (the in-house shapes may run a step before the in-house filter).
TEST_F(FilterDispatch, EveryRowHasTheOperationItsShapeNeeds) {
    for (const CatalogueEntry& e : filterCatalogue()) {
        EXPECT_NE(e.shape, Pipeline::None) << e.name;
        const bool inHouse = e.shape == Pipeline::InHouse || e.shape == Pipeline::InHouseAdjusted;
        if (!inHouse) {
            EXPECT_NE(e.run, nullptr) << e.name;
        }
    }
}

TEST_F(FilterDispatch, WithoutBothBuffersReturnsZeroAndChangesNothing) {
    const auto before = layer();
    PLR_IPLFreeDstBuffer32();
    EXPECT_EQ(process("Negative"), 0);
    EXPECT_EQ(layer(), before);
    PLR_IPLAllocDstBuffer32();
    PLR_IPLFreeSrcBuffer32();
    EXPECT_EQ(process("Negative"), 0);
    EXPECT_EQ(layer(), before);
}

TEST_F(FilterDispatch, NamesCompareExactlyAndTheTwentyFourBitBuffersAreFreedAfterAnyName) {
    const auto before = layer();
    for (const char* name : {"negative", "NEGATIVE", "Negative ", " Negative", "Gaussian blur", "", "No Such Filter"}) {
        PLR_IPLAllocSrcBuffer24();
        PLR_IPLAllocDstBuffer24();
        EXPECT_EQ(process(name), 1);
        EXPECT_EQ(layer(), before) << '"' << name << '"';
        EXPECT_TRUE(page().processing.src24.empty());
        EXPECT_TRUE(page().processing.dst24.empty());
    }
    EXPECT_EQ(PLR_IPLImageProcess(0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr), 1);
    EXPECT_EQ(layer(), before);
    process("Negative");
    EXPECT_NE(layer(), before);
    EXPECT_TRUE(page().processing.src24.empty());
    EXPECT_STREQ(PLR_GetLastError(), "");
}

TEST_F(FilterDispatch, SurfaceBlurAndNoiseReduction2AreOneBlock) {
    const auto start = layer();
    Settings s;
    s.p = {300, 800, 0, 0, 0, 0};
    process("Surface Blur", s);
    const auto surface = layer();
    setLayer(start);
    process("Noise Reduction 2", s);
    EXPECT_EQ(layer(), surface);
    EXPECT_NE(surface, start);
}

// A: the source is refreshed from the layer and premultiplied, the result
// divided back and loaded.
TEST_F(FilterDispatch, AdjustedSourceShapeRefreshesPreAdjustsAndLoadsTheDestination) {
    auto picture = randomPicture(kW, kH, 99, false);
    setLayer(picture);
    const auto stale = randomPicture(kW, kH, 5, true);
    PLR_IPLSetSrcBuffer32(stale.data());
    Settings s;
    s.p[0] = 250;  // sigma 0.4 * 25 + 0.6 = 10.6
    process("Gaussian Blur", s);
    auto expectedSource = layer();  // the layer as it was: refresh happened
    setLayer(picture);
    expectedSource = layer();
    premultiplyRGBA32(expectedSource.data(), kW * kH);
    std::vector<std::uint8_t> expected(expectedSource.size());
    imaging_lib::GaussianBlurImage(expectedSource.data(), expected.data(), kW, kH, 4, kW * 4, 3 * 10.6, 15);
    unpremultiplyRGBA32(expected.data(), kW * kH);
    EXPECT_EQ(src32(), expectedSource);
    EXPECT_EQ(dst32(), expected);
    process("Gaussian Blur", s);
    EXPECT_EQ(layer(), expected);
    // Option 3: sigma from the longer side, p1 * 0.01 * M * 0.05.
    setLayer(picture);
    s.option[2] = 1;
    process("Gaussian Blur", s);
    auto fromSide = layer();
    setLayer(picture);
    auto pre = layer();
    premultiplyRGBA32(pre.data(), kW * kH);
    imaging_lib::GaussianBlurImage(pre.data(), expected.data(), kW, kH, 4, kW * 4, 3 * (25 * 0.01 * kW * 0.05), 15);
    unpremultiplyRGBA32(expected.data(), kW * kH);
    EXPECT_EQ(fromSide, expected);
}

// S: the source as the host left it, even when stale.
TEST_F(FilterDispatch, PlainSourceShapeUsesTheSourceAsTheHostLeftIt) {
    const auto stale = randomPicture(kW, kH, 5, true);
    PLR_IPLSetSrcBuffer32(stale.data());
    Settings s;
    s.p[0] = 250;  // size t(0.2 * 25) = 5
    process("Median", s);
    std::vector<std::uint8_t> expected(stale.size());
    imaging_lib::MedianCutImage(stale.data(), kW, kH, 4, kW * 4, expected.data(), kW * 4, 5, 15);
    EXPECT_EQ(layer(), expected);
    EXPECT_EQ(src32(), stale);
}

// L: the layer is read into the source, worked in place and loaded.
TEST_F(FilterDispatch, LayerShapeReadsTheLayerAndLoadsTheSource) {
    const auto start = layer();
    const auto stale = randomPicture(kW, kH, 5, true);
    PLR_IPLSetSrcBuffer32(stale.data());
    Settings s;
    s.p = {400, 800, 0, 0, 0, 0};  // low t(2.55 * 40) = 102, high t(2.55 * 80) = 204
    process("Threshold", s);
    auto expected = start;
    imaging_lib::ThresholdFilter(expected.data(), kW, kH, 4, kW * 4, 102, 204, 15);
    EXPECT_EQ(layer(), expected);
    EXPECT_EQ(src32(), expected);
}

// T: the layer's colour through the 24-bit pair; alpha is the layer's own.
TEST_F(FilterDispatch, TwentyFourBitShapeWorksOnTheLayerColourAndFreesThePair) {
    auto start = randomPicture(kW, kH, 11, false);
    setLayer(start);
    start = layer();
    Settings s;
    s.p[0] = 600;  // amount t(60)
    process("Sharpen", s);
    const auto rgb = rgbOf(start);
    std::vector<std::uint8_t> sharp(rgb.size());
    imaging_lib::SharpenImage(rgb.data(), kW, kH, 3, kW * 3, sharp.data(), kW * 3, 60, 7);
    EXPECT_EQ(layer(), withRgb(start, sharp));
    EXPECT_TRUE(page().processing.src24.empty());
    EXPECT_TRUE(page().processing.dst24.empty());
}

// I: "Smart Blur" is the in-house "Noise Reduction" with the same steps.
TEST_F(FilterDispatch, InHouseShapeRunsTheEntryUnderItsName) {
    auto start = randomPicture(kW, kH, 17, false);
    setLayer(start);
    Settings s;
    s.p = {300, 600, 200, 0, 0, 0};
    process("Smart Blur", s);
    const auto smart = layer();
    setLayer(start);
    process("Noise Reduction", s);
    EXPECT_EQ(layer(), smart);
    setLayer(start);
    EXPECT_NE(layer(), smart);
}

TEST_F(FilterDispatch, ArgumentArithmeticAtSampleValues) {
    const auto start = layer();
    auto check = [&](const char* name, const Settings& s, auto&& expectedOf) {
        setLayer(start);
        process(name, s);
        auto expected = start;
        expectedOf(expected);
        EXPECT_EQ(layer(), expected) << name;
    };
    Settings s;
    s.p = {250, 0, 0, 0, 0, 0};  // gamma 2 * 25 * 0.01 = 0.5
    check("Gamma", s, [](auto& px) { imaging_lib::AdjustGamma(px.data(), kW, kH, 4, kW * 4, 0.5, 0); });
    s.p = {250, 0, 0, 0, 0, 0};  // 0.02 * 25 * 11 - 10 = -4.5
    check("Hyper Saturation", s, [](auto& px) { imaging_lib::ModifyImageSaturation(px.data(), kW, kH, 4, kW * 4, -4.5); });
    s.p = {750, 0, 0, 0, 0, 0};  // 0.02 * (75 - 50) * 9 + 1 = 5.5
    check("Hyper Saturation", s, [](auto& px) { imaging_lib::ModifyImageSaturation(px.data(), kW, kH, 4, kW * 4, 5.5); });
    s.p = {1000, 0, 400, 0, 0, 0};  // t(2.559 * 40) << 16 | 0 << 8 | t(2.559 * 100)
    check("Duotone", s, [](auto& px) { imaging_lib::DuotoneImage(px.data(), kW, kH, 4, kW * 4, 102u << 16 | 255u, 0); });
    s.p = {750, 250, 0, 0, 0, 0};  // brightness 0.5, contrast -0.5
    check("Brightness and Contrast", s,
          [](auto& px) { imaging_lib::AdjustBrightnessContrast(px.data(), kW, kH, 4, kW * 4, 0.5, -0.5, 1); });
    s.p = {900, 0, 0, 0, 0, 0};  // hue t(3.6 * 90 - 180) = 144
    check("Tint", s, [](auto& px) { imaging_lib::AdjustTint(px.data(), kW, kH, 4, kW * 4, 144, 0); });
    s.p = {600, 300, 700, 550, 0, 0};
    s.option[2] = 1;  // shadows only: (10, -20, 20), lightness t(55 - 50) = 5
    check("Adjust Color Balance", s, [](auto& px) {
        imaging_lib::ColourBalance b{{10, -20, 20}, {}, {}};
        imaging_lib::AdjustImageColorBalance(px.data(), kW, kH, 4, kW * 4, b, 5, 0);
    });
}

TEST_F(FilterDispatch, AHalfClosedMaskLeavesThatHalfExactly) {
    std::vector<std::uint16_t> mask(std::size_t(kW) * kH, 0xFFFF);
    std::fill(mask.begin(), mask.begin() + mask.size() / 2, 0);  // top half closed
    const auto start = randomPicture(kW, kH, 23, false);
    for (const char* name : {"Gaussian Blur", "Median", "Threshold", "Sharpen", "Smart Blur", "Negative", "Maximum",
                             "Add Gaussian Noise", "Hugo Noise", "Horizontal Flip"}) {
        PLR_EnableMask(0);
        setLayer(start);
        const auto before = layer();
        PLR_IPLUpdateSrcBuffer32();
        PLR_SetMaskData16(mask.data());
        PLR_EnableMask(1);
        process(name);
        const auto after = layer();
        const std::size_t half = after.size() / 2;
        EXPECT_TRUE(std::equal(after.begin(), after.begin() + half, before.begin())) << name;
        EXPECT_FALSE(std::equal(after.begin() + half, after.end(), before.begin() + half)) << name;
    }
}

TEST_F(FilterDispatch, AlphaLockedLayersKeepAlpha) {
    const auto start = randomPicture(kW, kH, 31, false);
    for (const char* name : {"Mosaic", "Median", "Horizontal Flip", "Glow Outer", "Smart Blur"}) {
        PLR_SetLayerOptions(2, 1, 0, 100, "Normal");
        setLayer(start);
        const auto before = layer();
        PLR_SetLayerOptions(2, 1, 1, 100, "Normal");
        PLR_IPLUpdateSrcBuffer32();
        process(name);
        const auto after = layer();
        bool colourChanged = false;
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (i % 4 == 3)
                ASSERT_EQ(after[i], before[i]) << name << " pixel " << i / 4;
            else
                colourChanged = colourChanged || after[i] != before[i];
        }
        EXPECT_TRUE(colourChanged) << name;
    }
}

TEST_F(FilterDispatch, RandomFiltersRepeatForTheSameRandomValueOnly) {
    const auto start = layer();
    for (const char* name : {"Add Gaussian Noise", "Add Uniform Noise", "Add Negative Exponential Noise",
                             "Add Rayleigh Noise", "Color Noise", "Hugo Noise", "Perlin Noise", "Stipple", "Scribble"}) {
        Settings s;
        s.option[0] = 1;
        setLayer(start);
        process(name, s);
        const auto first = layer();
        setLayer(start);
        process(name, s);
        EXPECT_EQ(layer(), first) << name;
        setLayer(start);
        s.random = 4321;
        process(name, s);
        EXPECT_NE(layer(), first) << name;
    }
}

TEST_F(FilterDispatch, MaskGenerateHslBuildsTheMaskFromTheSource) {
    // A picture of pure red left, pure blue right; hue 0 with narrow tolerances selects the red half.
    std::vector<std::uint8_t> px(std::size_t(kW) * kH * 4);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* p = &px[(std::size_t(y) * kW + x) * 4];
            p[0] = x < kW / 2 ? 255 : 0, p[1] = 0, p[2] = x < kW / 2 ? 0 : 255, p[3] = 255;
        }
    setLayer(px);
    PLR_IPLUpdateSrcBuffer32();
    PLR_ClearMask(0, 0, 0);
    PLR_InvertMask();  // everything protected, unless option 3 opens it first
    Settings s;
    s.p = {0, 50, 1000, 50, 500, 50};  // red: hue 0, saturation 1, lightness 0.5
    s.option[2] = 1;
    const auto before = layer();
    process("Mask Generate HSL", s);
    EXPECT_EQ(layer(), before);
    std::vector<std::uint16_t> mask(std::size_t(kW) * kH);
    PLR_GetMaskData16(mask.data());
    EXPECT_NE(mask[0], mask[kW - 1]);
    EXPECT_EQ(mask[0], mask[kW * (kH - 1)]);
    EXPECT_EQ(mask[kW - 1], mask[kW * kH - 1]);
}

// Every name with an operation on a 64 x 64 random picture at mid settings:
// no failure text, and the picture changes unless the filter only touches
// the mask, runs a script or runs a plug-in (none named here).
TEST_F(FilterDispatch, SweepOverEveryCatalogueNameWithAnOperation) {
    openPage(64, 64, randomPicture(64, 64, 3, true));
    const auto start = layer();
    // "Drop Shadow" lays the untouched picture over its shadow: on an opaque layer nothing shows.
    // "Warp 3 Point" moves only the corners options 4 to 7 switch on.
    const std::set<std::string_view> unchanged = {"Mask Generate HSL", "Lua Filter", "Glow Outer", "Drop Shadow",
                                                  "Adobe Compatible Plug-ins", "Warp 3 Point"};
    const std::string script = shippedEffectScripts().front();
    int ran = 0;
    for (const CatalogueEntry& e : filterCatalogue()) {
        if (e.shape == Pipeline::None) continue;
        setLayer(start);
        PLR_IPLUpdateSrcBuffer32();
        PLR_SetLastError("");
        Settings s;  // off-centre sliders: at 500 several tone filters are the identity
        s.p = {350, 650, 400, 600, 450, 550};
        s.option[2] = 1;
        // The pattern builder and the texture families draw a stored script.
        if (e.name == "Pattern Explorer" || e.name.starts_with("Backgrounds ") || e.name.starts_with("Texturize ") ||
            e.name.starts_with("Displacement Bump "))
            s.text = script;
        EXPECT_EQ(process(std::string(e.name).c_str(), s), 1) << e.name;
        EXPECT_STREQ(PLR_GetLastError(), "") << e.name;
        if (!unchanged.count(e.name)) {
            EXPECT_TRUE(layer() != start) << e.name;
        }
        ++ran;
    }
    EXPECT_EQ(ran, 180);
}

TEST_F(FilterDispatch, FailuresInsideReportTheDispatcherText) {
    int allocations = forEachAllocationFailure(
        [&] {
            PLR_SetLastError("");
            PLR_IPLAllocSrcBuffer32();
            PLR_IPLAllocDstBuffer32();
        },
        [&] { process("Emboss"); },
        [&](int n) { EXPECT_STREQ(PLR_GetLastError(), "IPLImageProc Excpt") << "allocation " << n; });
    EXPECT_GT(allocations, 1);
}

}  // namespace
}  // namespace plr::test
