// The magic wand: each mode adds the pixels it finds to the mask with the
// value of the strength; every other mask value stays.
#include "engine/page_fill.h"
#include "engine/page_fill_run.h"
#include "mask/builders.h"
#include "mask/flood_map.h"
#include "mask/mask_values.h"

namespace plr {
namespace {

struct Wand {
    Page& page;
    std::uint8_t* src;
    std::uint16_t* mask;
    std::int32_t x, y, tolerance;
    std::uint16_t value;  // written into the mask over the region
    std::size_t count() const noexcept { return page.pixelCount(); }
    const std::uint8_t* seed() const noexcept { return fill_run::pixelAt(page, src, x, y); }
};

void nonConnected(Wand& w) { fill_run::findRegion(w.page, w.src, w.x, w.y, w.tolerance, false).mask(w.mask, w.value); }
void connected(Wand& w) { fill_run::findRegion(w.page, w.src, w.x, w.y, w.tolerance, true).mask(w.mask, w.value); }

void colourRange(Wand& w) {
    const std::uint8_t* s = w.seed();
    maskFromColourRange(w.mask, w.count(), w.src, s[0], s[1], s[2], fillPercentTolerance(w.tolerance), w.value);
}
void luminanceRange(Wand& w) {
    const std::uint8_t* s = w.seed();
    maskFromLuminanceRange(w.mask, w.count(), w.src, s[0], s[1], s[2], fillPercentTolerance(w.tolerance), w.value);
}
void hueRange(Wand& w) {
    const std::uint8_t* s = w.seed();
    maskFromHueRange(w.mask, w.count(), w.src, s[0], s[1], s[2], fillPercentTolerance(w.tolerance), w.value);
}
// One fraction serves as the hue (times 180 degrees), saturation and lightness tolerance.
void hslRange(Wand& w) {
    const std::uint8_t* s = w.seed();
    const double t = fillFractionTolerance(w.tolerance);
    maskFromHslRange(w.mask, w.count(), w.src, s[0], s[1], s[2], t, t, t, w.value);
}

void alphaConnected(Wand& w) {
    const Block<std::uint8_t> map = fill_run::alphaRegionMap(w.page, w.x, w.y, w.tolerance);
    maskFromFloodMap(w.mask, w.count(), map.data(), w.value);
}
void alphaNonConnected(Wand& w) {
    maskFromAlphaRange(w.mask, w.count(), w.src, w.seed()[3], fillPercentTolerance(w.tolerance), w.value);
}

struct WandMode {
    const char* name;
    void (*run)(Wand&);
    bool aboveBackgroundOnly;  // "Alpha Connected" does nothing on slots 0 and 1
};

constexpr WandMode kWandModes[] = {
    {"Non-connected", nonConnected, false},     {"Color Range", colourRange, false},
    {"Luminance Range", luminanceRange, false}, {"Hue Range", hueRange, false},
    {"HSL Range", hslRange, false},             {"Connected", connected, false},
    {"Alpha Connected", alphaConnected, true},  {"Alpha Non-connected", alphaNonConnected, false},
};

}  // namespace

void maskWand(Page& page, std::int32_t x, std::int32_t y, std::int32_t tolerance, std::int32_t strength,
              const char* mode) {
    std::uint16_t* plane = pageMask(page.maskPage());
    if (!plane || !fill_run::canStart(page, x, y)) return;
    fill_run::SourceLease source(page);
    const WandMode* m = fill_run::modeNamed(kWandModes, mode);
    if (!m || (m->aboveBackgroundOnly && page.currentLayerIndex <= 1)) return;
    Wand w{page, source.pixels(), plane, x, y, tolerance, strengthToMask(wandStrength(strength))};
    m->run(w);
}

}  // namespace plr
