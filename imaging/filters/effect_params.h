#pragma once
// The parameter block every in-house effect reads, filled before each run,
// and the picture access rules they share: reads outside the picture give 0
// in every channel, writes outside do nothing, writes clamp to 0..255.
//
// A filter reads nothing but this block: its pictures, sizes and arguments,
// the work tables it may reuse, and what the caller tells it about the
// picture's surroundings (the page's brush colour, current layer and
// selection mask, for the few filters that use them).
#include <cstdint>

#include "core/rect.h"

namespace plr {

// Blend tables of the sweep filters: blend[k][q * 256 + p] for the run's
// weights (k: which weight). Rebuilt by every run that uses them; kept
// between runs so that a run allocates nothing.
struct SweepTables {
    std::uint8_t blend[3][65536] = {};
};

// What a few filters need from beyond their picture, supplied by the caller.
// Every hook may be absent; the filter then does what it does without a page.
struct FilterSurroundings {
    // "Vignette" option 8 tints with the brush colour, 8 bits a channel.
    std::uint8_t dabColour[3] = {};
    // "Fader" option 3 limits its ramps to the current layer's data extents:
    // fills the box (empty when the layer holds no data) and returns true,
    // or false when there is no current layer. An empty box or none: the
    // filter changes nothing.
    bool (*layerExtents)(void* context, Rect& box) = nullptr;
    // "Line Art Cleaner" hands its thresholded picture (row length width * 4)
    // to the current layer before removing specks.
    void (*takeThresholded)(void* context, const std::uint8_t* rgba, std::int32_t width, std::int32_t height) = nullptr;
    void* context = nullptr;
    // "Mask Detail" marks edges in this plane of maskWidth x maskHeight values;
    // it runs only when that is the picture's size.
    std::uint16_t* maskPlane = nullptr;
    std::int32_t maskWidth = 0, maskHeight = 0;
};

struct EffectParams {
    std::uint8_t* destination = nullptr;
    std::uint8_t* source = nullptr;  // written only by "Line Art Cleaner"
    std::int32_t lastRow = 0, lastColumn = 0;
    std::int32_t firstRow = 0, firstColumn = 0;
    std::int32_t height = 0, width = 0;
    std::int32_t rowLength = 0;        // width * 4 bytes
    double red = 0, green = 0, blue = 0;  // argument / 255
    std::int32_t option1 = 0, option2 = 0;
    std::uint8_t option[9] = {};       // option[3] .. option[8], low bytes
    double p[7] = {};                  // p[1] .. p[6], argument * 0.001
    std::uint8_t keepDestination = 0;  // 0: reads from the source
    SweepTables* sweepTables = nullptr;  // the sweep filters' work tables
    const FilterSurroundings* around = nullptr;

    // The picture reads come from.
    const std::uint8_t* readPlane() const noexcept { return keepDestination ? destination : source; }
    bool inside(std::int64_t x, std::int64_t y) const noexcept {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
    // Channel c of (x, y) in the read plane, 0 outside.
    int at(std::int64_t x, std::int64_t y, int c) const noexcept {
        return inside(x, y) ? readPlane()[(y * width + x) * 4 + c] : 0;
    }
    int grey(std::int64_t x, std::int64_t y) const noexcept { return (at(x, y, 0) + at(x, y, 1) + at(x, y, 2)) / 3; }
    void put(std::int64_t x, std::int64_t y, int c, double v) noexcept {
        if (!inside(x, y)) return;
        destination[(y * width + x) * 4 + c] = clampByte(v);
    }
    static std::uint8_t clampByte(double v) noexcept {
        return static_cast<std::uint8_t>(v <= 0.0 ? 0 : v >= 255.0 ? 255 : static_cast<int>(v));
    }
};

// The filter state the engine keeps: the parameter block of the last run and
// the sweep filters' tables. Part of the engine state, so an engine reset
// brings it back to its state at load.
struct FilterState {
    EffectParams params;
    SweepTables sweep;
};

// The effects that work in HSL or L*a*b*.
void effectAdjustLab(EffectParams& e);
void effectHyperContrast(EffectParams& e);
void effectBasRelief(EffectParams& e);
// Fader's saturation (option 4) and lightness (option 5) ramps.
void faderInHsl(EffectParams& e, std::int64_t x, std::int64_t y, double factor);

// One effect body per name.
void effectAntiAlias(EffectParams& e);
void effectValueBlur(EffectParams& e);
void effectNoiseReduction(EffectParams& e);
void effectNoiseReductionRgb(EffectParams& e);
void effectAdaptiveBlur(EffectParams& e);
void effectLineArtCleaner(EffectParams& e);
void effectBasicThreshold(EffectParams& e);
void effectDetailBlur(EffectParams& e);
void effectGrayscale(EffectParams& e);
void effectInvert(EffectParams& e);
void effectVignette(EffectParams& e);
void effectChannel(EffectParams& e);
void effectReflection(EffectParams& e);
void effectFader(EffectParams& e);
void effectBorderize(EffectParams& e);
void effectClamp(EffectParams& e);
void effectMaskDetail(EffectParams& e);

}  // namespace plr
