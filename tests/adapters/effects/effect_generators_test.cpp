// The generator effects: seeded repeatability, the drawing modes, alpha left
// alone, and worked pixels of the pattern.
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "adapters/effects/effect_generators.h"
#include "adapters/effects/effect_numbered.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

constexpr int kW = 48, kH = 40;

struct Row {
    std::int32_t number;
    int blendAt;
    std::array<std::pair<int, std::int32_t>, 6> values;  // index 0 ends the list
};

// Each generator with settings that draw something on a small picture.
const Row kRows[] = {
    {1, 14, {{{4, 12}, {5, 20}, {7, 2}, {17, 50}, {18, 20}}}},
    {2, 14, {{{4, 8}, {5, 9}, {17, 50}, {18, 30}}}},
    {3, 14, {{{4, 8}, {5, 12}, {6, 10}, {7, 0}}}},
    {4, 15, {{{4, 4}, {5, 6}, {7, 10}, {8, 2}}}},
    {5, 11, {{{4, 250}, {12, 1}}}},
    {11, 12, {{{4, 30}, {5, 50}}}},
    {20, 13, {{{4, 6}, {5, 10}}}},
    {21, 13, {{{4, 3}, {5, 2}, {6, 100}, {14, 1}}}},
    {24, 13, {{{3, 3}, {4, 2}, {5, 40}, {6, 30}}}},
    {37, 14, {{{4, 5}, {5, 40}, {6, 300}, {7, 2}}}},
    {42, 10, {{{3, 6}, {4, 5}, {6, 2}, {12, 20}, {11, 100}}}},
    {43, 12, {{{4, 200}, {5, 1}, {14, 50}}}},
    {55, 10, {{{11, 1}}}},
    {58, 15, {{{4, 2}, {19, 40}, {5, 12}, {6, 4}, {8, 3}}}},
    {59, 16, {{{4, 20}, {5, 30}, {6, 1}, {12, 40}}}},
};

std::vector<std::uint8_t> picture() {
    std::vector<std::uint8_t> px(std::size_t(kW) * kH * 4);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 90 + i % 7 : (i * 37) % 251);
    return px;
}

std::vector<std::uint8_t> run(const Row& r, std::int32_t seed, std::int32_t mode = 12) {
    std::int32_t v[20] = {};
    v[3] = seed;
    // The drawing colour (red, green, blue) at the index each generator reads it from.
    static const std::map<std::int32_t, int> colourAt = {{1, 8},  {2, 8},  {3, 8},  {4, 9},  {5, 5},
                                                         {11, 6}, {20, 7}, {21, 7}, {24, 7}, {37, 8},
                                                         {43, 6}, {55, 4}, {58, 9}, {59, 8}};
    if (const auto c = colourAt.find(r.number); c != colourAt.end()) v[c->second] = 230, v[c->second + 1] = 140, v[c->second + 2] = 60;
    v[r.blendAt] = mode;
    for (const auto& [i, value] : r.values)
        if (i) v[i] = value;
    auto px = picture();
    EXPECT_TRUE(effect_lib::runNumberedEffect(r.number, v, px.data(), kW, kH)) << r.number;
    return px;
}

using GeneratorEffects = EngineTest;

TEST_F(GeneratorEffects, SameSeedSamePictureOtherSeedOtherPictureAlphaKept) {
    const auto base = picture();
    for (const Row& r : kRows) {
        ASSERT_TRUE(effect_lib::knownEffect(r.number)) << r.number;
        const auto a = run(r, 1234), b = run(r, 1234);
        EXPECT_EQ(a, b) << r.number;
        EXPECT_NE(a, base) << r.number << " drew nothing";
        for (std::size_t i = 3; i < a.size(); i += 4) ASSERT_EQ(a[i], base[i]) << r.number;
        // Sine Plasma and Pattern take no seed: their own values change them.
        if (r.number == 24 || r.number == 42) continue;
        EXPECT_NE(run(r, 4321), a) << r.number;
    }
}

TEST_F(GeneratorEffects, FieldsDrawEverywhereSoInvertModeInvertsTheWholePicture) {
    const auto base = picture();
    for (const Row& r : kRows) {
        if (r.number != 5 && r.number != 11 && r.number != 24 && r.number != 55) continue;
        const auto px = run(r, 77, 11);
        for (std::size_t i = 0; i < px.size(); ++i) ASSERT_EQ(px[i], i % 4 == 3 ? base[i] : 255 - base[i]) << r.number;
        // Replace and normal agree where coverage is full.
        EXPECT_EQ(run(r, 77, 0), run(r, 77, 12)) << r.number;
    }
}

TEST_F(GeneratorEffects, PatternChecksAtFullContrastAreBlackAndWhiteCells) {
    std::int32_t v[20] = {};
    v[3] = 4, v[4] = 4, v[11] = 100, v[10] = 12;  // checks of 4 x 4
    auto px = picture();
    ASSERT_TRUE(effect_lib::runNumberedEffect(42, v, px.data(), kW, kH));
    EXPECT_EQ(px[0], 255);                     // cell (0, 0) light
    EXPECT_EQ(px[4 * 4], 0);                   // cell (1, 0) dark
    EXPECT_EQ(px[(4 * kW + 4) * 4 + 1], 255);  // cell (1, 1) light
    v[13] = 1;                                 // inverted
    px = picture();
    ASSERT_TRUE(effect_lib::runNumberedEffect(42, v, px.data(), kW, kH));
    EXPECT_EQ(px[0], 0);
}

TEST_F(GeneratorEffects, ModesCombineTheDrawnColourWithThePicture) {
    // A full-coverage field of colour (200, 100, 50) at contrast 0 of Generate
    // Noise is exactly half the colour everywhere: (100, 50, 25).
    std::int32_t v[20] = {};
    v[4] = v[5] = 1, v[6] = 0, v[7] = 200, v[8] = 100, v[9] = 50;
    const int drawn[3] = {25, 50, 100};  // BGR
    struct Case {
        int mode;
        int (*expect)(int d, int s);
    };
    const Case cases[] = {
        {1, [](int d, int s) { return std::min(255, d + s); }},
        {2, [](int d, int s) { return std::max(0, d - s); }},
        {3, [](int d, int s) { return d * s / 255; }},
        {5, [](int d, int s) { return std::min(d, s); }},
        {7, [](int d, int s) { return std::abs(d - s); }},
        {9, [](int d, int s) { return (d + s) / 2; }},
    };
    const auto base = picture();
    for (const Case& c : cases) {
        v[13] = c.mode;
        auto px = picture();
        ASSERT_TRUE(effect_lib::runNumberedEffect(21, v, px.data(), kW, kH));
        for (std::size_t i = 0; i < px.size(); ++i) {
            if (i % 4 != 3) {
                ASSERT_EQ(px[i], c.expect(base[i], drawn[i % 4])) << c.mode << " at " << i;
            }
        }
    }
}

}  // namespace
}  // namespace plr::test
