#include "brush/source_image.h"

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/raster.h"
#include "brush/engine_services.h"

namespace plr {
namespace {

// Renders the loaded script (library initialised and script loaded).
void renderLoadedScript(effect_lib::LibraryState& lib, const char* path, formats::RgbaImage& out) noexcept {
    std::int32_t header[6] = {};
    if (!effect_lib::InitBuffers(lib) || !effect_lib::ReadScriptHeaderFromFile(lib, path, header)) return;
    if (!formats::allocateRgba(out, header[4], header[5])) return;
    if (!effect_lib::ExecuteScript(lib, out.pixels.data(), out.width, out.height)) {
        out.pixels.reset();
        out.width = out.height = 0;
        return;
    }
    imaging_lib::RGBAToBGRA(out.pixels.data(), out.width, out.height, out.width * 4);
}

SourceRoute loadSource(const char* path, bool tryScript, bool tryImage, formats::RgbaImage& out) noexcept {
    out.pixels.reset();
    out.width = out.height = 0;
    if (!path || !*path) return SourceRoute::None;
    effect_lib::LibraryState& lib = effectLibraryState();
    if (tryScript && effect_lib::Initialize(lib)) {
        const bool loaded = effect_lib::LoadScriptFromFile(lib, path) != 0;
        if (loaded) renderLoadedScript(lib, path, out);
        effect_lib::Finish(lib);
        if (loaded) return SourceRoute::Script;
    }
    if (!tryImage) return SourceRoute::None;
    formats::readImage(path, out);
    return SourceRoute::Image;
}

}  // namespace

SourceRoute loadSourceImage(const char* path, bool tryScript, formats::RgbaImage& out) noexcept {
    return loadSource(path, tryScript, true, out);
}

bool renderScriptSource(const char* path, formats::RgbaImage& out) noexcept {
    return loadSource(path, true, false, out) == SourceRoute::Script && !out.pixels.empty();
}

}  // namespace plr
