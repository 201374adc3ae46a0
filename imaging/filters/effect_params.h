#pragma once
// The parameter block every in-house effect reads, filled before each run,
// and the picture access rules they share: reads outside the picture give 0
// in every channel, writes outside do nothing, writes clamp to 0..255.
#include <cstdint>

namespace plr {

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

struct Page;

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
