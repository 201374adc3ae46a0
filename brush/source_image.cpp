#include "brush/source_image.h"

#include "adapters/effect_library.h"
#include "adapters/is_raster.h"

namespace plr {
namespace {

// Renders the loaded script (library initialised and script loaded).
void renderLoadedScript(const char* path, is3::RgbaImage& out) noexcept {
    std::int32_t header[6] = {};
    if (!isl::InitBuffers() || !isl::ReadScriptHeaderFromFile(path, header)) return;
    if (!is3::allocateRgba(out, header[4], header[5])) return;
    if (!isl::ExecuteScript(out.pixels.data(), out.width, out.height)) {
        out.pixels.reset();
        out.width = out.height = 0;
        return;
    }
    is3::RGBAToBGRA(out.pixels.data(), out.width, out.height, out.width * 4);
}

}  // namespace

SourceRoute loadSourceImage(const char* path, bool tryScript, is3::RgbaImage& out) noexcept {
    out.pixels.reset();
    out.width = out.height = 0;
    if (!path || !*path) return SourceRoute::None;
    if (tryScript && isl::Initialize()) {
        const bool loaded = isl::LoadScriptFromFile(path) != 0;
        if (loaded) renderLoadedScript(path, out);
        isl::Finish();
        if (loaded) return SourceRoute::Script;
    }
    is3::ReadImageToRGBA(path, out);
    return SourceRoute::Image;
}

}  // namespace plr
