// libFuzzer target for the effect-script parser: any bytes are parsed; small
// scripts whose effect values stay small are also rendered, so the steps run
// on whatever the parser accepted. Nothing may crash, leak, read out of
// bounds or hang.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "adapters/effects/effect_script.h"

namespace {

constexpr std::int32_t kRenderArea = 64 * 64;
constexpr std::int32_t kEffectValueLimit = 64;  // keeps shape counts and sizes quick

bool quickToRender(const plr::effect_lib::EffectScript& s) {
    if (std::int64_t{s.width} * s.height > kRenderArea) return false;
    for (int i = 0; i < s.stepCount; ++i) {
        if (s.steps[i].kind != plr::effect_lib::StepKind::Effect) continue;
        for (std::int32_t v : s.steps[i].effect)
            if (std::abs(v) > kEffectValueLimit) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static plr::effect_lib::EffectScript script;
    if (!plr::effect_lib::parseScriptText(reinterpret_cast<const char*>(data), size, script)) return 0;
    if (!quickToRender(script)) return 0;
    std::vector<std::uint8_t> out(std::size_t(script.width) * std::size_t(script.height) * 4);
    (void)plr::effect_lib::renderScript(script, out.data());
    return 0;
}
