// The composite filters and levels on small pages: which buffer each chain
// leaves, what it merges into the layer with which mode and strength, and
// the stand-alone photo pop and RGB24 blur, each against the in-house and
// library filters run by hand.
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/filters_contrast_mask.h"
#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/filters_smooth.h"
#include "adapters/imaging/filters_tone.h"
#include "engine/filter_run.h"
#include "engine/page.h"
#include "engine/photo_pop.h"
#include "engine_fixture.h"
#include "imaging/alpha_premultiply.h"
#include "imaging/filters/filters.h"
#include "imaging/levels_tables.h"
#include "layers/merge_rgba32.h"

namespace plr::test {
namespace {

constexpr int kW = 20, kH = 14;
constexpr std::size_t kN = std::size_t(kW) * kH;
using Picture = std::vector<std::uint8_t>;

struct Settings {
    std::array<std::int32_t, 6> p{500, 500, 500, 500, 500, 500};
    std::array<std::int32_t, 8> option{};
    std::int32_t red = 200, green = 120, blue = 40;
};

Picture randomPicture(std::uint32_t seed) {
    Picture px(kN * 4);
    for (std::size_t i = 0; i < px.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        px[i] = i % 4 == 3 ? 255 : static_cast<std::uint8_t>(seed >> 24);
    }
    return px;
}

class CompositeFilters : public EngineTest {
public:
    void SetUp() override {
        EngineTest::SetUp();
        start = randomPicture(11);
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(1, kW, kH);
        PLR_CreateLayer(2, kW, kH);
        PLR_CreateLayer(3, kW, kH);
        PLR_SetLayer(2);
        PLR_LoadRGBA32(start.data(), kW * 4, 0);
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
        state = std::make_unique<FilterState>();
    }
    void TearDown() override {
        state.reset();
        EngineTest::TearDown();
    }
    std::int32_t process(const char* name, const Settings& s) {
        return PLR_IPLImageProcess(0, name, 77, s.p[0], s.p[1], s.p[2], s.p[3], s.p[4], s.p[5], s.option[0],
                                   s.option[1], s.option[2], s.option[3], s.option[4], s.option[5], s.option[6],
                                   s.option[7], s.red, s.green, s.blue, "");
    }
    static Picture layer(int slot = 2) {
        Picture out(kN * 4);
        PLR_GetRGBA32Layer(out.data(), kW * 4, slot);
        return out;
    }
    static Picture buffer(const Block<std::uint8_t>& b) { return {b.data(), b.data() + b.size()}; }
    // In-house `name` as the chains call it: from `source` into `destination`
    // (read there too when keep is 1), P1, P2, option 1 and the colour.
    Picture inHouse(const Picture& source, Picture destination, const char* name, int keep, std::int32_t p1 = 0,
                    std::int32_t p2 = 0, std::int32_t option1 = 0) {
        Picture in = source;
        if (destination.empty()) destination.resize(source.size());
        EffectArguments a;
        a.p[0] = p1, a.p[1] = p2, a.option[0] = option1;
        a.red = 200, a.green = 120, a.blue = 40;
        effectOnImage(*state, in.data(), destination.data(), kW, kH, name, keep, a);
        return destination;
    }
    // `under` with `over` merged into it as the layer merge does it.
    static Picture merged(const Picture& under, const Picture& over, std::int32_t mode, std::int32_t strength) {
        PLR_LoadRGBA32Layer(under.data(), kW * 4, 3, 0, 0, kW, kH, 0);
        EXPECT_TRUE(mergeRGBA32IntoLayer(page(), over.data(), page().layers[3], mode, 0, strength, false));
        return layer(3);
    }
    static Picture gaussian(Picture in, double sigma) {
        Picture out(in.size());
        premultiplyRGBA32(in.data(), kN);
        imaging_lib::GaussianBlurImage(in.data(), out.data(), kW, kH, 4, kW * 4, 3.0 * sigma, 15);
        unpremultiplyRGBA32(out.data(), kN);
        return out;
    }
    Picture start;
    std::unique_ptr<FilterState> state;
};

// One chain: what the layer holds before the final merge, the buffer merged,
// where the run leaves that buffer, the mode and the strength.
struct Chain {
    Picture layerBefore, merged;
    bool inSource;  // the merged buffer is SrcBuffer32 rather than DstBuffer32
    std::int32_t mode, strength;
};

TEST_F(CompositeFilters, MergeEndingChainsLeaveTheirBufferAndMergeItWithTheirModeAndStrength) {
    const Picture none;
    struct Case {
        const char* name;
        Settings s;
        std::function<Chain(CompositeFilters&, const Settings&)> chain;
    };
    const std::vector<Case> cases = {
        {"Outliner 1", {{300}}, [&](CompositeFilters& f, const Settings&) {
             Picture d = f.inHouse(f.start, none, "Grayscale", 0);
             d = f.inHouse(d, d, "Invert", 1);
             return Chain{f.start, f.inHouse(d, d, "Value Blur", 1, 1000, 700), false, 17, 255};
         }},
        {"Glow", {{300}}, [&](CompositeFilters& f, const Settings&) {
             Picture d = f.inHouse(f.start, none, "Invert", 0);
             return Chain{f.start, f.inHouse(d, d, "Value Blur", 1, 700, 1000), false, 16, 255};
         }},
        {"Charcoal", {{400, 600}}, [&](CompositeFilters& f, const Settings&) {
             const Picture grey = f.inHouse(f.start, none, "Grayscale", 0);
             Picture d = f.inHouse(grey, none, "Invert", 0);
             return Chain{grey, f.inHouse(d, d, "Value Blur", 1, 400, 600), false, 11, 255};
         }},
        {"Edge3", {{250, 800}}, [&](CompositeFilters& f, const Settings&) {
             const Picture grey = f.inHouse(f.start, none, "Grayscale", 0);
             Picture d = f.inHouse(grey, none, "Invert", 0);
             return Chain{grey, f.inHouse(d, d, "Value Blur", 1, 750, 200), false, 11, 255};
         }},
        {"Radiant", {{200, 400}}, [&](CompositeFilters& f, const Settings&) {
             return Chain{f.start, gaussian(f.start, 0.4 * 20 + 0.6), false, 8, 100};
         }},
        {"Radiant 2", {{700}}, [&](CompositeFilters& f, const Settings&) {
             Picture s = f.start;
             imaging_lib::ContrastMaskImage(s.data(), kW, kH, 4, kW * 4, 0, 43.0 / 9.0, 0);
             return Chain{f.start, f.inHouse(s, none, "Invert", 0), false, 17, t(2.559 * 70)};
         }},
        {"Contrast Mask", {{300}, {1}}, [&](CompositeFilters& f, const Settings&) {
             const Picture d = f.inHouse(f.start, none, "Invert", 0);
             return Chain{f.start, gaussian(d, 0.4 * 30 + 0.6), true, 10, 255};
         }},
    };
    for (const Case& c : cases) {
        PLR_LoadRGBA32(start.data(), kW * 4, 0);
        PLR_IPLUpdateSrcBuffer32();
        const Chain expected = c.chain(*this, c.s);
        EXPECT_EQ(process(c.name, c.s), 1);
        EXPECT_STREQ(PLR_GetLastError(), "") << c.name;
        const Picture left = expected.inSource ? buffer(page().processing.src32) : buffer(page().processing.dst32);
        EXPECT_EQ(left, expected.merged) << c.name << ": the buffer the chain leaves";
        EXPECT_EQ(layer(), merged(expected.layerBefore, expected.merged, expected.mode, expected.strength))
            << c.name << ": the final merge";
    }
}

TEST_F(CompositeFilters, LevelsMapsTheChosenChannelsThroughBothTables) {
    Settings s;
    s.p = {100, 900, 50, 950, 0, 0};
    s.option[2] = 1;  // red
    s.option[4] = 1;  // blue
    process("Levels", s);
    const LevelsTable in = levelsInputTable(25, 230), out = levelsOutputTable(12, 243);
    Picture expected = start;
    for (std::size_t i = 0; i < kN; ++i)
        for (std::size_t c : {0u, 2u}) expected[i * 4 + c] = out[in[start[i * 4 + c]]];
    EXPECT_EQ(layer(), expected);
    // No channel chosen: nothing changes.
    PLR_LoadRGBA32(start.data(), kW * 4, 0);
    process("Levels", Settings{{100, 900, 50, 950, 0, 0}});
    EXPECT_EQ(layer(), start);
}

TEST_F(CompositeFilters, PhotoPopSharpensLiftsContrastAndSaturatesTheLayer) {
    EXPECT_DOUBLE_EQ(popSaturationFactor(50), 1.0);
    EXPECT_DOUBLE_EQ(popSaturationFactor(0), -2.0);
    EXPECT_DOUBLE_EQ(popSaturationFactor(100), 3.0);
    EXPECT_EQ(PLR_IPLPhotoPop(600, 70.0, 0), 1);
    const Picture popped = layer();
    // By hand: the sharpen of the colour, hyper contrast at 600, saturation at 70.
    Picture rgb(kN * 3), sharp(kN * 3);
    for (std::size_t i = 0; i < kN; ++i) std::copy_n(&start[i * 4], 3, &rgb[i * 3]);
    imaging_lib::SharpenImage(rgb.data(), kW, kH, 3, kW * 3, sharp.data(), kW * 3, 5, 7);
    Picture expected = start;
    for (std::size_t i = 0; i < kN; ++i) std::copy_n(&sharp[i * 3], 3, &expected[i * 4]);
    expected = inHouse(expected, {}, "Hyper Contrast", 0, 600);
    imaging_lib::ModifyImageSaturation(expected.data(), kW, kH, 4, kW * 4, popSaturationFactor(70.0));
    EXPECT_EQ(popped, expected);
    // The named filter runs the same steps after a refresh.
    PLR_LoadRGBA32(start.data(), kW * 4, 0);
    Settings s;
    s.p[0] = 600, s.p[1] = 700;
    process("Photo Pop", s);
    EXPECT_EQ(layer(), popped);
    // Without the 32-bit buffers it does nothing.
    PLR_IPLFreeSrcBuffer32();
    PLR_LoadRGBA32(start.data(), kW * 4, 0);
    EXPECT_EQ(PLR_IPLPhotoPop(600, 70.0, 0), 0);
    EXPECT_EQ(layer(), start);
}

TEST_F(CompositeFilters, DropShadowCastsABlackShadowUnderTheUntouchedPicture) {
    // A white 6 x 6 square on a clear layer.
    Picture square(kN * 4, 0);
    for (int y = 4; y < 10; ++y)
        for (int x = 4; x < 10; ++x) std::fill_n(&square[(std::size_t(y) * kW + x) * 4], 4, 255);
    PLR_LoadRGBA32Layer(square.data(), kW * 4, 2, 0, 0, kW, kH, 0);
    Settings s;
    // Offset t(20 (0.02 * 60 - 1)) = 3 across (the product falls a hair short
    // of 4) and t(14 (0.02 * 70 - 1)) = 5 down; sigma 0.6; full strength.
    s.p = {600, 700, 0, 1000, 0, 0};
    process("Drop Shadow", s);
    const Picture out = layer();
    auto at = [&](int x, int y, int c) { return out[(std::size_t(y) * kW + x) * 4 + c]; };
    EXPECT_EQ(at(5, 5, 0), 255);  // the square stays white on top
    EXPECT_EQ(at(5, 5, 3), 255);
    EXPECT_EQ(at(11, 12, 0), 0);  // the shadow beside the square: black, nearly opaque
    EXPECT_GT(at(11, 12, 3), 200);
    EXPECT_EQ(at(1, 1, 3), 0);  // far from both: still clear
    EXPECT_EQ(at(1, 12, 3), 0);
}

TEST_F(CompositeFilters, FrostedGlassScattersPixelsWithinItsAmountAndRepeats) {
    process("Frosted Glass", Settings{{0}});
    EXPECT_EQ(layer(), start);  // amount 0 copies
    PLR_IPLUpdateSrcBuffer32();
    process("Frosted Glass", Settings{{80}});  // up to t(0.5 * 8) = 4 pixels away
    const Picture frosted = layer();
    EXPECT_NE(frosted, start);
    for (int y = 4; y < kH - 4; ++y)
        for (int x = 4; x < kW - 4; ++x) {
            bool found = false;
            for (int dy = -4; dy <= 4 && !found; ++dy)
                for (int dx = -4; dx <= 4 && !found; ++dx)
                    found = std::equal(&frosted[(std::size_t(y) * kW + x) * 4], &frosted[(std::size_t(y) * kW + x) * 4 + 4],
                                       &start[(std::size_t(y + dy) * kW + x + dx) * 4]);
            EXPECT_TRUE(found) << x << "," << y;
        }
    PLR_LoadRGBA32(start.data(), kW * 4, 0);
    PLR_IPLUpdateSrcBuffer32();
    process("Frosted Glass", Settings{{80}});
    EXPECT_EQ(layer(), frosted);
}

TEST_F(CompositeFilters, ContrastMaskLaysTheInvertedLumaInSoftLight) {
    // Worked values of the soft-light rule: ends fixed, a black mask squares, a white one screens.
    EXPECT_EQ(imaging_lib::softLightByte(0, 200), 0);
    EXPECT_EQ(imaging_lib::softLightByte(255, 17), 255);
    EXPECT_EQ(imaging_lib::softLightByte(128, 0), 64);
    EXPECT_EQ(imaging_lib::softLightByte(128, 255), 192);
    // Without blur each byte follows the rule under 255 - its pixel's luma, once or (strong) twice.
    for (int strong = 0; strong < 2; ++strong) {
        Picture px = start;
        ASSERT_EQ(imaging_lib::ContrastMaskImage(px.data(), kW, kH, 4, kW * 4, strong, 0.0, 0), 1);
        for (std::size_t i = 0; i < kN; ++i) {
            const std::uint8_t* s = &start[i * 4];
            const auto mask = static_cast<std::uint8_t>(255 - (s[0] * 299 + s[1] * 587 + s[2] * 114 + 500) / 1000);
            for (int c = 0; c < 3; ++c) {
                std::uint8_t v = imaging_lib::softLightByte(s[c], mask);
                if (strong) v = imaging_lib::softLightByte(v, mask);
                ASSERT_EQ(px[i * 4 + c], v) << i;
            }
            ASSERT_EQ(px[i * 4 + 3], s[3]);
        }
    }
}

TEST_F(CompositeFilters, BlurMoreBufferBlursInPlaceWithTheRadiusInFifths) {
    Picture rgb(kN * 3), expected(kN * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 37 + (i >> 3) * 11);
    const Picture original = rgb;
    imaging_lib::BlurImageRadius(original.data(), kW, kH, 3, kW * 3, expected.data(), kW * 3, 2, 0.6, 15);
    PLR_BlurMoreBufferRGB24(rgb.data(), kW, kH, 12, 60);
    EXPECT_EQ(rgb, expected);
    EXPECT_NE(rgb, original);
    // Setting 4 is radius 0: a copy.
    rgb = original;
    PLR_BlurMoreBufferRGB24(rgb.data(), kW, kH, 4, 100);
    EXPECT_EQ(rgb, original);
    PLR_BlurMoreBufferRGB24(nullptr, kW, kH, 12, 60);
    EXPECT_STREQ(PLR_GetLastError(), "");
}

}  // namespace
}  // namespace plr::test
