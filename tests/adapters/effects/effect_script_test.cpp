// The effect-script text format: parsing, rendering, and the library calls
// the brush builders use.
#include <cstring>
#include <string>
#include <vector>

#include "adapters/effects/effect_library.h"
#include "adapters/effects/effect_script.h"
#include "brush_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

// The library state the engine keeps (the fixture resets it).
effect_lib::LibraryState& lib() { return engine().effectLibrary; }

using EffectScriptFormat = EngineTest;

std::vector<std::uint8_t> render(const std::string& text, int& w, int& h) {
    static effect_lib::EffectScript s;
    if (!effect_lib::parseScriptText(text.data(), text.size(), s)) return {};
    w = s.width;
    h = s.height;
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h * 4);
    if (!effect_lib::renderScript(s, px.data())) return {};
    return px;
}

TEST_F(EffectScriptFormat, ShippedExamplesLoadThroughTheLibrary) {
    for (const char* name : {"canvas_grain.efs", "soft_dot.efs"}) {
        const std::string path = std::string(PALORAN_TEST_DATA) + "/scripts/" + name;
        ASSERT_TRUE(effect_lib::Initialize(lib()));
        ASSERT_TRUE(effect_lib::LoadScriptFromFile(lib(), path.c_str())) << name;
        ASSERT_TRUE(effect_lib::InitBuffers(lib()));
        std::int32_t header[6] = {};
        ASSERT_TRUE(effect_lib::ReadScriptHeaderFromFile(lib(), path.c_str(), header));
        std::vector<std::uint8_t> out(static_cast<std::size_t>(header[4]) * header[5] * 4);
        EXPECT_FALSE(effect_lib::ExecuteScript(lib(), out.data(), header[4] + 1, header[5]));  // size must match
        ASSERT_TRUE(effect_lib::ExecuteScript(lib(), out.data(), header[4], header[5]));
        EXPECT_EQ(out[3], 255);
        effect_lib::Finish(lib());
    }
}

TEST_F(EffectScriptFormat, StepsRenderTheirWorkedPixels) {
    int w = 0, h = 0;
    auto px = render("effect-script 1\nsize 5 1\nfill 1 2 3 4\n", w, h);
    ASSERT_EQ(px.size(), 20u);
    EXPECT_EQ(px[16], 1);
    EXPECT_EQ(px[19], 4);
    // Gradient from x = 0 (0) to x = 4 (200) on the red channel, t = x / 4.
    px = render("effect-script 1\nsize 6 1\ngradient 0 0 4 0 0 0 0 255 200 0 0 255\n", w, h);
    ASSERT_EQ(px.size(), 24u);
    const int red[6] = {0, 50, 100, 150, 200, 200};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(px[x * 4], red[x]) << x;
    // Disc of radius 1 at (1, 1) in a 3 x 3: the plus shape.
    px = render("effect-script 1\nsize 3 3\ncircle 1 1 1 9 9 9 9\n", w, h);
    const int in[9] = {0, 9, 0, 9, 9, 9, 0, 9, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(px[i * 4 + 3], in[i]) << i;
    // Noise: one draw per pixel from the run-time generator seeded with the step's seed.
    px = render("effect-script 1\nsize 4 1\nfill 100 100 100 255\nnoise 7 10\n", w, h);
    RefRand r{7};
    for (int x = 0; x < 4; ++x) {
        const int v = 100 + r.next() % 21 - 10;
        EXPECT_EQ(px[x * 4], v);
        EXPECT_EQ(px[x * 4 + 2], v);
        EXPECT_EQ(px[x * 4 + 3], 255);
    }
    // Comments and blank lines are ignored.
    px = render("# tip\n\neffect-script 1   # version\nsize 1 1\n\nfill 5 5 5 5 # grey\n", w, h);
    ASSERT_EQ(px.size(), 4u);
    EXPECT_EQ(px[0], 5);
}

TEST_F(EffectScriptFormat, MalformedScriptsAreRefused) {
    effect_lib::EffectScript* s = new effect_lib::EffectScript;
    auto bad = [&](const std::string& text) { return !effect_lib::parseScriptText(text.data(), text.size(), *s); };
    EXPECT_TRUE(bad(""));
    EXPECT_TRUE(bad("effect-script 3\nsize 1 1\n"));
    EXPECT_TRUE(bad("effect-script 1\n"));
    EXPECT_TRUE(bad("size 1 1\neffect-script 1\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 0 5\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 8193 5\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 100000 100000\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nsize 5 5\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nfill 1 2 3\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nfill 1 2 3 4 5\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nfill 1 2 3 256\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nfill 1 2 3 x\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nfill 1 2 3 4x\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nsparkle 1\n"));
    EXPECT_TRUE(bad("effect-script 1\nsize 5 5\nblur -1\n"));
    EXPECT_TRUE(bad(std::string("effect-script 1\nsize 5 5\nfill 1 2\0 3 4\n", 35)));
    std::string many = "effect-script 1\nsize 2 2\n";
    for (int i = 0; i < 257; ++i) many += "fill 1 1 1 1\n";
    EXPECT_TRUE(bad(many));
    EXPECT_TRUE(bad(std::string(70000, ' ')));
    EXPECT_FALSE(bad("effect-script 1\nsize 5 5\n"));
    delete s;
    // Through the library: a file that is not a script does not load.
    const auto dir = scratchDir();
    writeText(dir / "cut.efs", "effect-script 1\nsize 4");
    EXPECT_TRUE(effect_lib::Initialize(lib()));
    EXPECT_FALSE(effect_lib::LoadScriptFromFile(lib(), (dir / "cut.efs").string().c_str()));
    EXPECT_FALSE(effect_lib::InitBuffers(lib()));
    std::int32_t header[6] = {};
    EXPECT_FALSE(effect_lib::ReadScriptHeaderFromFile(lib(), (dir / "cut.efs").string().c_str(), header));
    EXPECT_FALSE(effect_lib::LoadScriptFromFile(lib(), nullptr));
    effect_lib::Finish(lib());
    EXPECT_FALSE(effect_lib::LoadScriptFromFile(lib(), (dir / "cut.efs").string().c_str()));  // not initialised
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
