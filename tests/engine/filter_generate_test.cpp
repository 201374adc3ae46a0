// The generators, the pattern builder and the texture families through
// PLR_IPLImageProcess, and the bump-map displacement export.
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "adapters/effects/effect_numbered.h"
#include "effect_library_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

constexpr int kW = 40, kH = 30;

struct Settings {
    std::array<std::int32_t, 6> p{500, 20, 500, 500, 500, 500};  // sizes that suit a small page
    std::array<std::int32_t, 8> option{1, 0, 0, 0, 0, 0, 0, 0};
    std::int32_t red = 200, green = 120, blue = 40;
    std::int32_t random = 1234;
    std::string text;
};

const char* const kGenerators[] = {"Lines",  "Points",      "Circles",        "Rectangles",     "Splines",
                                   "Worms",  "Fibers",      "Trees",          "Generate Noise", "Blobs",
                                   "Plasma", "Sine Plasma", "Fractal Plasma", "Generate Perlin Noise", "Pattern"};

class FilterGenerate : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(1, kW, kH);
        PLR_CreateLayer(2, kW, kH);
        PLR_SetLayer(2);
        picture.resize(std::size_t(kW) * kH * 4);
        for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = std::uint8_t(i % 4 == 3 ? 255 : (i * 53) % 241);
        reset();
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
    }
    void reset() { PLR_LoadRGBA32(picture.data(), kW * 4, 0); }
    // Runs the filter from the starting picture; the layer after it.
    std::vector<std::uint8_t> process(const char* name, const Settings& s = {}) {
        reset();
        PLR_SetLastError("");
        PLR_IPLImageProcess(0, name, s.random, s.p[0], s.p[1], s.p[2], s.p[3], s.p[4], s.p[5], s.option[0],
                            s.option[1], s.option[2], s.option[3], s.option[4], s.option[5], s.option[6], s.option[7],
                            s.red, s.green, s.blue, s.text.c_str());
        EXPECT_STREQ(PLR_GetLastError(), "") << name;
        return layer();
    }
    std::vector<std::uint8_t> layer() {
        std::vector<std::uint8_t> out(std::size_t(kW) * kH * 4);
        PLR_GetRGBA32Layer(out.data(), kW * 4, 2);
        return out;
    }
    std::vector<std::uint8_t> picture;
};

TEST_F(FilterGenerate, EachGeneratorRepeatsForTheSameRandomValueAndChangesForAnother) {
    for (const char* name : kGenerators) {
        Settings s;
        const auto a = process(name, s);
        EXPECT_NE(a, picture) << name << " drew nothing";
        EXPECT_EQ(process(name, s), a) << name;
        s.random = 999;
        const bool seeded = std::string(name) != "Sine Plasma" && std::string(name) != "Pattern";
        if (seeded) {
            EXPECT_NE(process(name, s), a) << name;
        }
    }
}

TEST_F(FilterGenerate, OptionOneZeroDrawsInWhiteWhateverTheColour) {
    for (const char* name : {"Circles", "Plasma", "Points"}) {
        Settings white, other;
        white.option[0] = other.option[0] = 0;
        other.red = 10, other.green = 250, other.blue = 90;
        EXPECT_EQ(process(name, white), process(name, other)) << name;
        other.option[0] = 1;
        EXPECT_NE(process(name, white), process(name, other)) << name;
    }
}

TEST_F(FilterGenerate, TextureFamiliesRenderEveryShippedScriptAndIgnoreAMissingOne) {
    const char* const families[] = {"Backgrounds", "Texturize Emboss", "Texturize Bump", "Displacement Bump"};
    const char* const categories[] = {"Material", "Nature", "Surface", "Other", "Utility"};
    const auto scripts = shippedEffectScripts();
    for (std::size_t f = 0; f < std::size(families); ++f)
        for (std::size_t c = 0; c < std::size(categories); ++c) {
            const std::string name = std::string(families[f]) + " " + categories[c];
            Settings s;
            s.text = scripts[(f + c) % scripts.size()];
            EXPECT_NE(process(name.c_str(), s), picture) << name << " with " << s.text;
            s.text = (effectLibraryFolder() / "no such script.efs").string();
            EXPECT_EQ(process(name.c_str(), s), picture) << name;
        }
}

TEST_F(FilterGenerate, DisplacementByAFlatMapKeepsThePictureAndATexturedOneMovesIt) {
    const std::string flat = (std::filesystem::temp_directory_path() / ("paloran_flat_" + std::to_string(::getpid()) + ".efs")).string();
    {
        std::FILE* f = std::fopen(flat.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("effect-script 1\nsize 8 8\nfill 90 90 90 255\n", f);
        std::fclose(f);
    }
    reset();
    PLR_IPLUpdateSrcBuffer32();
    PLR_IPLDisplacementBummp(flat.c_str(), 40.0, 0);
    EXPECT_EQ(layer(), picture);
    std::filesystem::remove(flat);
    reset();
    PLR_IPLUpdateSrcBuffer32();
    PLR_IPLDisplacementBummp(shippedEffectScripts().front().c_str(), 60.0, 0);
    EXPECT_NE(layer(), picture);
    EXPECT_STREQ(PLR_GetLastError(), "");
}

TEST_F(FilterGenerate, PatternExplorerTilesTheScriptRepeatably) {
    Settings s;
    s.text = shippedEffectScripts().front();
    const auto a = process("Pattern Explorer", s);
    if (!effect_lib::knownEffect(49)) GTEST_SKIP() << "the tile offset effect is not in this build";
    EXPECT_NE(a, picture);
    EXPECT_EQ(process("Pattern Explorer", s), a);
}

}  // namespace
}  // namespace plr::test
