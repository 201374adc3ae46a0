#include "adapters/effects/effect_library.h"

#include "adapters/effects/effect_numbered.h"

#include "adapters/imaging/raster.h"

namespace plr::effect_lib {

std::int32_t Initialize(LibraryState& lib) noexcept {
    lib.initialized = true;
    lib.hasEffect = lib.scriptLoaded = lib.buffersReady = false;
    return 1;
}

std::int32_t AddEffect(LibraryState& lib, std::int32_t number, std::int32_t count) noexcept {
    if (!lib.initialized || lib.hasEffect || count != 1 || !knownEffect(number)) return 0;
    lib.hasEffect = true;
    lib.effectNumber = number;
    for (auto& v : lib.values) v = 0;
    return 1;
}

std::int32_t SetEffectValue(LibraryState& lib, std::int32_t effectIndex, std::int32_t parameter,
                            std::int32_t value) noexcept {
    if (!lib.hasEffect || effectIndex != 0 || parameter < 0 || parameter >= kEffectParameters) return 0;
    lib.values[parameter] = value;
    return 1;
}

std::int32_t ExecuteScriptOnImage(LibraryState& lib, void* pixels, std::int32_t width, std::int32_t height) noexcept {
    if (!lib.hasEffect || !pixels || width < 1 || height < 1) return 0;
    return runNumberedEffect(lib.effectNumber, lib.values, static_cast<std::uint8_t*>(pixels), width, height) ? 1 : 0;
}

std::int32_t LoadScriptFromFile(LibraryState& lib, const char* path) noexcept {
    if (!lib.initialized) return 0;
    lib.scriptLoaded = parseScriptFile(path, lib.script);
    lib.buffersReady = false;
    return lib.scriptLoaded ? 1 : 0;
}

std::int32_t InitBuffers(LibraryState& lib) noexcept {
    if (!lib.scriptLoaded) return 0;
    lib.buffersReady = true;
    return 1;
}

std::int32_t ReadScriptHeaderFromFile(LibraryState& lib, const char* path, std::int32_t* header) noexcept {
    if (!header) return 0;
    EffectScript& s = lib.headerScript;
    if (!parseScriptFile(path, s)) return 0;
    header[0] = 1;
    header[1] = s.stepCount;
    header[2] = header[3] = 0;
    header[4] = s.width;
    header[5] = s.height;
    return 1;
}

std::int32_t ExecuteScript(LibraryState& lib, void* out, std::int32_t width, std::int32_t height) noexcept {
    if (!lib.buffersReady || !out || width != lib.script.width || height != lib.script.height) return 0;
    if (!renderScript(lib.script, static_cast<std::uint8_t*>(out))) return 0;
    return imaging_lib::RGBAToBGRA(out, width, height, width * 4);
}

std::int32_t Finish(LibraryState& lib) noexcept {
    const bool was = lib.initialized;
    lib.initialized = lib.hasEffect = lib.scriptLoaded = lib.buffersReady = false;
    return was ? 1 : 0;
}

}  // namespace plr::effect_lib
