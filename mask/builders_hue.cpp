// Builders that compare hues: HSV hue range and HSL range. The per-pixel
// conversions are pure, so the fast forms remember the verdict for repeated
// colours and agree with the plain forms bit for bit.
#include <cmath>

#include "imaging/colour_memo.h"
#include "imaging/colour_spaces.h"
#include "mask/builders.h"
#include "mask/mask_values.h"

namespace plr {
namespace {

struct HueRangeTest {
    double referenceHue;
    double degrees;
    bool operator()(const std::uint8_t* px) const noexcept {
        return hueWithin(RgbToHsv(px[0], px[1], px[2]).h, referenceHue, degrees);
    }
};

struct HslRangeTest {
    Hsl reference;
    double degrees, saturationTolerance, lightnessTolerance;
    bool operator()(const std::uint8_t* px) const noexcept {
        const Hsl c = RgbToHsl(px[0], px[1], px[2]);
        return hueWithin(c.h, reference.h, degrees) && std::fabs(c.s - reference.s) <= saturationTolerance &&
               std::fabs(c.l - reference.l) <= lightnessTolerance;
    }
};

HueRangeTest hueTest(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t tolerance) noexcept {
    return {RgbToHsv(red, green, blue).h, static_cast<double>(percentToHueDegrees(tolerance))};
}

HslRangeTest hslTest(std::int32_t red, std::int32_t green, std::int32_t blue, double hueTolerance,
                     double saturationTolerance, double lightnessTolerance) noexcept {
    return {RgbToHsl(red, green, blue), hueTolerance * 180.0, saturationTolerance, lightnessTolerance};
}

template <class Test>
void buildPlain(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, const Test& test,
                std::uint16_t value) noexcept {
    for (std::size_t i = 0; i < count; ++i)
        if (test(rgba + 4 * i)) mask[i] = value;
}

template <class Test>
void buildMemo(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, const Test& test,
               std::uint16_t value) noexcept {
    ColourMemo memo;
    auto verdict = [&](std::uint32_t key) -> std::uint32_t {
        const std::uint8_t px[3] = {static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8),
                                    static_cast<std::uint8_t>(key >> 16)};
        return test(px) ? 1u : 0u;
    };
    std::uint32_t lastKey = 0xFFFFFFFFu, lastPass = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t key = colourKey(rgba + 4 * i);
        if (key != lastKey) {
            lastPass = memo.get(key, verdict);
            lastKey = key;
        }
        if (lastPass) mask[i] = value;
    }
}

}  // namespace

bool hueWithin(double hue, double referenceHue, double degrees) noexcept {
    return std::fabs(std::trunc(hue - referenceHue)) <= degrees ||
           std::fabs(std::trunc(hue - (referenceHue - 360.0))) <= degrees ||
           std::fabs(std::trunc(hue - 360.0 - referenceHue)) <= degrees;
}

void maskFromHueRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                      std::int32_t green, std::int32_t blue, std::int32_t tolerance, std::uint16_t value) noexcept {
    buildMemo(mask, count, rgba, hueTest(red, green, blue, tolerance), value);
}

void maskFromHueRangePlain(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                           std::int32_t green, std::int32_t blue, std::int32_t tolerance,
                           std::uint16_t value) noexcept {
    buildPlain(mask, count, rgba, hueTest(red, green, blue, tolerance), value);
}

void maskFromHslRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                      std::int32_t green, std::int32_t blue, double hueTolerance, double saturationTolerance,
                      double lightnessTolerance, std::uint16_t value) noexcept {
    buildMemo(mask, count, rgba, hslTest(red, green, blue, hueTolerance, saturationTolerance, lightnessTolerance),
              value);
}

void maskFromHslRangePlain(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                           std::int32_t green, std::int32_t blue, double hueTolerance, double saturationTolerance,
                           double lightnessTolerance, std::uint16_t value) noexcept {
    buildPlain(mask, count, rgba, hslTest(red, green, blue, hueTolerance, saturationTolerance, lightnessTolerance),
               value);
}

}  // namespace plr
