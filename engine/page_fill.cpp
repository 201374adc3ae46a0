// The paint bucket: each mode changes the source buffer, which then goes into
// the current layer through the mask, the paper texture and the alpha lock.
#include "adapters/imaging/drawing_fill.h"
#include "core/failure.h"
#include "engine/page_fill.h"
#include "engine/page_fill_run.h"
#include "layers/layer_load.h"
#include "mask/flood_map.h"
#include "mask/mask_apply.h"

namespace plr {
namespace {

// Slot 1 is the background: erasing it paints instead of making holes.
constexpr std::int32_t kBackgroundLayer = 1;

struct Fill {
    Page& page;
    std::uint8_t* src;
    std::int32_t red, green, blue, x, y, tolerance;
    bool onBackground() const noexcept { return page.currentLayerIndex == kBackgroundLayer; }
    bool aboveBackground() const noexcept { return page.currentLayerIndex > kBackgroundLayer; }
};

// Every pixel within the tolerance of the seed's colour takes the fill colour;
// alpha stays (so transparent pixels stay transparent).
void paintNonConnected(Fill& f) {
    const std::uint8_t* s = fill_run::pixelAt(f.page, f.src, f.x, f.y);
    const std::uint32_t seed = s[0] | s[1] << 8 | std::uint32_t{s[2]} << 16;
    const std::uint32_t colour = std::uint32_t(f.red & 0xFF) | std::uint32_t(f.green & 0xFF) << 8 |
                                 std::uint32_t(f.blue & 0xFF) << 16;
    need(imaging_lib::ColorReplaceImage(f.src, f.page.width, f.page.height, 4, f.page.width * 4, seed, colour,
                                        fillSquaredTolerance(f.tolerance), imaging_lib::kReplaceColourOnly) != 0,
         "colour replace");
}

void paintConnected(Fill& f) {
    fill_run::findRegion(f.page, f.src, f.x, f.y, f.tolerance, true).paint(f.red, f.green, f.blue, 0xFF);
}

// Erased pixels keep their colour behind alpha 0 (no marker colour is
// written): under an alpha lock, or where the mask keeps alpha, they show
// as they were.
void erase(Fill& f, bool connected) {
    const Block<std::uint8_t> map = fill_run::findRegionMap(f.page, f.src, f.x, f.y, f.tolerance, connected);
    clearAlphaOfFloodMap(f.src, map.data(), f.page.pixelCount());
}

void eraseNonConnected(Fill& f) {
    if (f.onBackground()) return paintNonConnected(f);
    erase(f, false);
}

void eraseConnected(Fill& f) {
    if (f.onBackground()) return paintConnected(f);
    erase(f, true);
}

// The region is found in the layer's alpha, read as grey.
void paintAlphaConnected(Fill& f) {
    const Block<std::uint8_t> map = fill_run::alphaRegionMap(f.page, f.x, f.y, f.tolerance);
    paintFloodMap(f.src, map.data(), f.page.pixelCount(), f.red, f.green, f.blue, 0xFF);
}

void paintAlphaNonConnected(Fill& f) {
    const std::uint8_t seedAlpha = fill_run::pixelAt(f.page, f.src, f.x, f.y)[3];
    replaceAlphaRange(f.src, f.page.pixelCount(), seedAlpha, fillPercentTolerance(f.tolerance), f.red, f.green,
                      f.blue, 0xFF);
}

struct FillMode {
    const char* name;
    void (*run)(Fill&);
    bool aboveBackgroundOnly;  // the alpha modes do nothing on slots 0 and 1
};

constexpr FillMode kFillModes[] = {
    {"Paint Non-connected", paintNonConnected, false},
    {"Erase Non-connected", eraseNonConnected, false},
    {"Paint Connected", paintConnected, false},
    {"Erase Connected", eraseConnected, false},
    {"Paint Alpha Connected", paintAlphaConnected, true},
    {"Paint Alpha Non-Connected", paintAlphaNonConnected, false},
};

}  // namespace

void floodFillPage(Page& page, std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t x,
                   std::int32_t y, std::int32_t tolerance, const char* mode) {
    if (!fill_run::canStart(page, x, y)) return;
    fill_run::SourceLease source(page);
    const FillMode* m = fill_run::modeNamed(kFillModes, mode);
    Fill f{page, source.pixels(), red, green, blue, x, y, tolerance};
    if (!m || (m->aboveBackgroundOnly && !f.aboveBackground())) return;
    m->run(f);
    LayerRecord& layer = *page.currentPageLayer();
    loadRGBA32IntoLayer(page, layer, f.src, page.width * 4, 0, 0, page.width, page.height, true);
}

}  // namespace plr
