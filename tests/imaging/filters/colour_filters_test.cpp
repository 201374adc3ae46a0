// The effects that work in HSL or L*a*b* (built with the colour conversions).
#include <vector>

#include "engine/page_filters.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using ColourEffects = EngineTest;

std::vector<std::uint8_t> run(std::vector<std::uint8_t> src, int w, int h, const char* name, const EffectArguments& a) {
    std::vector<std::uint8_t> dst(src.size());
    effectOnImage(engine().filters, src.data(), dst.data(), w, h, name, 0, a, pageSurroundings(page()));
    return dst;
}

std::vector<std::uint8_t> greys(std::initializer_list<int> v) {
    std::vector<std::uint8_t> px;
    for (int g : v) px.insert(px.end(), {std::uint8_t(g), std::uint8_t(g), std::uint8_t(g), 200});
    return px;
}

TEST_F(ColourEffects, HyperContrastMixesTheTwoCurvesByLightness) {
    EffectArguments a;  // P1 0: e = 255
    auto out = run(greys({0, 51, 255}), 3, 1, "Hyper Contrast", a);
    EXPECT_EQ(out[0], 0);
    // L 0.2: (255 - 204^2/255) * 0.8 + (51^2/255) * 0.2 = 73.44 + 2.04
    EXPECT_EQ(out[4], 75);
    EXPECT_EQ(out[8], 255);
    EXPECT_EQ(out[7], 200);
    a.p[0] = 900;  // e = trunc(0.1 * 255) = 25: the dark curve goes below 0
    out = run(greys({51}), 1, 1, "Hyper Contrast", a);
    EXPECT_EQ(out[0], 0);
}

TEST_F(ColourEffects, AdjustLabShiftsLightnessAndAxes) {
    EffectArguments a;
    a.p[0] = 0;  // L* - 100: black
    a.p[1] = a.p[2] = 500;
    auto out = run(greys({128}), 1, 1, "Adjust Lab", a);
    EXPECT_LE(out[0], 1);
    EXPECT_LE(out[1], 1);
    EXPECT_EQ(out[3], 200);
    a.p[0] = 1000;  // L* + 100: white
    out = run(greys({128}), 1, 1, "Adjust Lab", a);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[2], 255);
    a.p[0] = 500;
    a.p[1] = 1000;  // a* + 100: toward red, away from green
    out = run(greys({128}), 1, 1, "Adjust Lab", a);
    EXPECT_GT(out[0], 128);
    EXPECT_LT(out[1], 128);
}

TEST_F(ColourEffects, BasReliefPushesLightnessAwayFromTheNeighbour) {
    EffectArguments a;
    a.p[0] = 500;
    a.option[0] = 0;  // left neighbour
    auto out = run(greys({100, 150, 150}), 3, 1, "Bas Relief", a);
    EXPECT_NEAR(out[0], 150, 1);   // outside is black: 100 + 100 * 0.5
    EXPECT_NEAR(out[4], 175, 1);   // 150 + 50 * 0.5
    EXPECT_NEAR(out[8], 150, 1);   // same as its neighbour
    EXPECT_EQ(out[7], 200);
    a.option[0] = 1;  // above: the row above is outside for a single row
    out = run(greys({100, 150, 150}), 3, 1, "Bas Relief", a);
    EXPECT_NEAR(out[4], 225, 1);
}

TEST_F(ColourEffects, FaderOnLightness) {
    EffectArguments a;
    a.p[0] = a.p[1] = 500;  // rows: 1.0
    a.p[2] = a.p[3] = 250;  // columns: 0.5
    a.option[4] = 1;                          // option 5: lightness
    auto out = run(greys({200}), 1, 1, "Fader", a);
    EXPECT_NEAR(out[0], 100, 1);
    a.option[4] = 0;
    a.option[3] = 1;  // option 4: saturation of a grey stays 0
    out = run(greys({200}), 1, 1, "Fader", a);
    EXPECT_EQ(out[0], 200);
}

}  // namespace
}  // namespace plr::test
