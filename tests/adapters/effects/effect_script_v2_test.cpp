// Version 2 of the effect-script format: numbered effects as steps, the
// shipped texture library, and the scripts the parser must refuse.
#include <filesystem>
#include <string>
#include <vector>

#include "adapters/effects/effect_numbered.h"
#include "adapters/effects/effect_script.h"
#include "adapters/imaging/raster.h"
#include "effect_library_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using EffectScriptVersion2 = EngineTest;

bool parse(const std::string& text, effect_lib::EffectScript& s) { return effect_lib::parseScriptText(text.data(), text.size(), s); }

TEST_F(EffectScriptVersion2, EffectStepEqualsTheNumberedEffectOnTheBgraPicture) {
    static effect_lib::EffectScript s;
    ASSERT_TRUE(parse("effect-script 2\nsize 20 12\nfill 10 120 240 255\neffect 5 3=9 4=300 5=200 6=40 7=90 11=3\n", s));
    std::vector<std::uint8_t> viaScript(20 * 12 * 4), direct(20 * 12 * 4);
    ASSERT_TRUE(effect_lib::renderScript(s, viaScript.data()));
    for (std::size_t i = 0; i < direct.size(); i += 4) direct[i] = 240, direct[i + 1] = 120, direct[i + 2] = 10, direct[i + 3] = 255;
    std::int32_t v[20] = {};
    v[3] = 9, v[4] = 300, v[5] = 200, v[6] = 40, v[7] = 90, v[11] = 3;
    ASSERT_TRUE(effect_lib::runNumberedEffect(5, v, direct.data(), 20, 12));
    imaging_lib::RGBAToBGRA(direct.data(), 20, 12, 20 * 4);
    EXPECT_EQ(viaScript, direct);
}

TEST_F(EffectScriptVersion2, EveryShippedScriptParsesAndRendersATexture) {
    const auto scripts = shippedEffectScripts();
    ASSERT_GE(scripts.size(), 5u);
    for (const char* category : {"Material", "Nature", "Surface", "Other", "Utility"}) {
        bool found = false;
        for (const auto& path : scripts)
            found = found || std::filesystem::path(path).parent_path().filename() == category;
        EXPECT_TRUE(found) << "no script for " << category;
    }
    static effect_lib::EffectScript s;
    for (const auto& path : scripts) {
        ASSERT_TRUE(effect_lib::parseScriptFile(path.c_str(), s)) << path;
        std::vector<std::uint8_t> px(std::size_t(s.width) * s.height * 4);
        ASSERT_TRUE(effect_lib::renderScript(s, px.data())) << path;
        int lo = 255, hi = 0;
        for (std::size_t i = 0; i < px.size(); ++i) {
            if (i % 4 == 3) {
                ASSERT_EQ(px[i], 255) << path;
                continue;
            }
            lo = std::min<int>(lo, px[i]), hi = std::max<int>(hi, px[i]);
        }
        EXPECT_GT(hi - lo, 40) << path << " is nearly flat";
    }
}

TEST_F(EffectScriptVersion2, MalformedScriptsAreRefused) {
    static effect_lib::EffectScript s;
    const char* bad[] = {
        "effect-script 1\nsize 4 4\neffect 5 3=1\n",                // effect steps need version 2
        "effect-script 3\nsize 4 4\n",                              // a version not known
        "effect-script 2\nsize 4 4\neffect 999 3=1\n",              // no such effect
        "effect-script 2\nsize 4 4\neffect\n",                      // no number
        "effect-script 2\nsize 4 4\neffect 5 3\n",                  // no '='
        "effect-script 2\nsize 4 4\neffect 5 20=1\n",               // parameter beyond 19
        "effect-script 2\nsize 4 4\neffect 5 -1=1\n",               // negative parameter
        "effect-script 2\nsize 4 4\neffect 5 3=1 3=2\n",            // a parameter twice
        "effect-script 2\nsize 4 4\neffect 5 3=1000001\n",          // value out of range
        "effect-script 2\nsize 4 4\neffect 5 3=x\n",                // not a number
        "effect-script 2\nsize 4 4\neffect 5 3=1=2\n",              // trailing text
        "effect-script 2\nsize 4 4\neffect 5 0=0 1=0 2=0 3=0 4=0 5=0 6=0 7=0 8=0 9=0 10=0 11=0 12=0 13=0 14=0 "
        "15=0 16=0 17=0 18=0 19=0 19=0\n",                          // too many pairs
    };
    for (const char* text : bad) EXPECT_FALSE(parse(text, s)) << text;
    EXPECT_TRUE(parse("effect-script 2\nsize 4 4\neffect 42 3=2 4=2 11=100  # checks\n", s));
    EXPECT_EQ(s.version, 2);
    EXPECT_TRUE(parse("effect-script 2\nsize 4 4\nfill 1 2 3 4\n", s));  // version 1 steps stay valid
}

}  // namespace
}  // namespace plr::test
