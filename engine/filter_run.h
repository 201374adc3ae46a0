#pragma once
// One run of a named filter on the page: the arguments as the host passed
// them and as derived once on entry, the buffers the pipeline hands the
// operation, and the common steps the pipelines and operations share.
#include <cstdint>

#include "imaging/filters/filters.h"

namespace plr {

struct Page;
namespace effect_lib {
struct LibraryState;
}

// The host's arguments, in order after the reserved one.
struct FilterCall {
    const char* name = nullptr;
    std::int32_t random = 0;
    EffectArguments args;  // P1..P6, options 1..8, red, green, blue
    const char* text = nullptr;
};

// Runs a filter script (the script path, P1..P6 and options 1..8 as the host
// passed them); set by whoever hosts scripts, null: "Lua Filter" does nothing.
using ScriptFilterHook = void (*)(void* context, const char* path, const std::int32_t* p, const std::int32_t* options);

struct FilterHooks {
    ScriptFilterHook runScriptFilter = nullptr;
    void* context = nullptr;
};

struct FilterRun {
    Page& page;
    FilterState& inHouse;
    effect_lib::LibraryState& effects;
    const FilterCall& call;
    const FilterHooks& hooks;

    // Derived on entry: p[1..6] = Pn * 0.1 in single precision, the packed
    // colour red | green << 8 | blue << 16.
    float p[7] = {};
    std::uint32_t packedColour = 0;

    // What the pipeline hands the operation: the raster read (`in`) and the
    // raster written (`out`, the same one for in-place shapes), page-sized,
    // bytesPerPixel 4 or 3, rows packed.
    std::uint8_t* in = nullptr;
    std::uint8_t* out = nullptr;
    std::int32_t bytesPerPixel = 4;

    FilterRun(Page& pg, FilterState& h, effect_lib::LibraryState& e, const FilterCall& c, const FilterHooks& k) noexcept;

    std::int32_t width() const noexcept;
    std::int32_t height() const noexcept;
    std::int32_t stride() const noexcept { return width() * bytesPerPixel; }
    // max(width, height)
    std::int32_t longerSide() const noexcept;
    // Option k (1..8) as passed; its low byte, for the switch options.
    std::int32_t option(int k) const noexcept { return call.args.option[k - 1]; }
    std::uint8_t optionByte(int k) const noexcept { return static_cast<std::uint8_t>(call.args.option[k - 1]); }
};

// t(x): truncation toward zero, held to the 32-bit range (NaN gives 0).
std::int32_t t(double x) noexcept;
// t(2.559 high) << 16 | t(2.559 middle) << 8 | t(2.559 low), each part held to a byte:
// a colour from three sliders, the low one giving the red byte.
std::uint32_t packedFromSliders(double high, double middle, double low) noexcept;

// The common steps.
bool refreshSource(FilterRun& run);                      // SrcBuffer32 from the current layer
void readLayerIntoSource(FilterRun& run);                // the same, for the shapes that read the layer
void preAdjust(FilterRun& run, std::uint8_t* rgba);      // colour times alpha
void postAdjust(FilterRun& run, std::uint8_t* rgba);     // colour divided by alpha
void maskedLoad32(FilterRun& run, const std::uint8_t* rgba);
void maskedLoad24(FilterRun& run, const std::uint8_t* rgb);
void maskAndTexture(FilterRun& run, std::uint8_t* rgba);  // alpha times the mask and paper coverage
// DstBuffer32 (or `rgba`) merged into the current layer with blend mode
// `mode` and strength 0..255, honouring the layer's alpha lock.
bool mergeIntoLayer(FilterRun& run, const std::uint8_t* rgba, std::int32_t mode, std::int32_t strength);
// Effect n of the effect library on a page-sized RGBA32 buffer with the given
// (parameter, value) pairs: initialise, add, set, swap to BGRA, run, swap
// back, finish. False when a step fails.
struct EffectValue {
    std::int32_t parameter, value;
};
bool runEffect(FilterRun& run, std::uint8_t* rgba, std::int32_t number, const EffectValue* values, int count,
               bool swapChannels = true);
// The same on a width x height RGBA32 picture of any size.
bool runEffectSized(FilterRun& run, std::uint8_t* rgba, std::int32_t width, std::int32_t height, std::int32_t number,
                    const EffectValue* values, int count, bool swapChannels = true);
// A page-sized grey plane spread into the three channels of run.out (a
// 24-bit raster).
void spreadGreyIntoOutput(FilterRun& run, const std::uint8_t* grey);

}  // namespace plr
