#include "adapters/effects/effect_library.h"

#include "adapters/effects/effect_script.h"
#include "adapters/imaging/raster.h"

namespace plr::effect_lib {
namespace {

constexpr int kEffectParameters = 16;

struct Library {
    bool initialized = false;
    bool hasEffect = false;
    std::int32_t effectNumber = 0;
    std::int32_t values[kEffectParameters] = {};
    bool scriptLoaded = false;
    bool buffersReady = false;
    EffectScript script;
};

Library& lib() noexcept {
    static Library l;
    return l;
}

}  // namespace

std::int32_t Initialize() noexcept {
    Library& l = lib();
    l.initialized = true;
    l.hasEffect = l.scriptLoaded = l.buffersReady = false;
    return 1;
}

std::int32_t AddEffect(std::int32_t number, std::int32_t count) noexcept {
    Library& l = lib();
    if (!l.initialized || l.hasEffect || count != 1 || number != 51) return 0;
    l.hasEffect = true;
    l.effectNumber = number;
    for (auto& v : l.values) v = 0;
    return 1;
}

std::int32_t SetEffectValue(std::int32_t effectIndex, std::int32_t parameter, std::int32_t value) noexcept {
    Library& l = lib();
    if (!l.hasEffect || effectIndex != 0 || parameter < 0 || parameter >= kEffectParameters) return 0;
    l.values[parameter] = value;
    return 1;
}

std::int32_t ExecuteScriptOnImage(void* pixels, std::int32_t width, std::int32_t height) noexcept {
    Library& l = lib();
    if (!l.hasEffect || !pixels || width < 1 || height < 1) return 0;
    return rotateImage(static_cast<std::uint8_t*>(pixels), width, height, l.values[3],
                       l.values[4] == 0 ? 100.0 : l.values[4])
               ? 1
               : 0;
}

std::int32_t LoadScriptFromFile(const char* path) noexcept {
    Library& l = lib();
    if (!l.initialized) return 0;
    l.scriptLoaded = parseScriptFile(path, l.script);
    l.buffersReady = false;
    return l.scriptLoaded ? 1 : 0;
}

std::int32_t InitBuffers() noexcept {
    Library& l = lib();
    if (!l.scriptLoaded) return 0;
    l.buffersReady = true;
    return 1;
}

std::int32_t ReadScriptHeaderFromFile(const char* path, std::int32_t* header) noexcept {
    if (!header) return 0;
    static EffectScript s;
    if (!parseScriptFile(path, s)) return 0;
    header[0] = 1;
    header[1] = s.stepCount;
    header[2] = header[3] = 0;
    header[4] = s.width;
    header[5] = s.height;
    return 1;
}

std::int32_t ExecuteScript(void* out, std::int32_t width, std::int32_t height) noexcept {
    Library& l = lib();
    if (!l.buffersReady || !out || width != l.script.width || height != l.script.height) return 0;
    if (!renderScript(l.script, static_cast<std::uint8_t*>(out))) return 0;
    return imaging_lib::RGBAToBGRA(out, width, height, width * 4);
}

std::int32_t Finish() noexcept {
    Library& l = lib();
    const bool was = l.initialized;
    l.initialized = l.hasEffect = l.scriptLoaded = l.buffersReady = false;
    return was ? 1 : 0;
}

}  // namespace plr::effect_lib
