#include "imaging/hsl_adjust.h"

#include <cstddef>

#include "imaging/colour_memo.h"

namespace plr {
namespace {

double limitUnit(double v) noexcept {
    if (v > 1.0) return 1.0;
    if (v < 0.0) return 0.0;
    return v;
}

double shiftHue(double hue, std::int32_t shift) noexcept {
    hue += shift;
    if (hue > 360.0) hue -= 360.0;
    if (hue < 0.0) hue += 360.0;
    return hue;
}

std::uint32_t pack(Rgb8 c) noexcept {
    return std::uint32_t{c.r} | std::uint32_t{c.g} << 8 | std::uint32_t{c.b} << 16;
}

std::size_t pixelCount(std::int32_t width, std::int32_t height) noexcept {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

template <class F>
void adjustPlain(std::uint8_t* rgba, std::size_t n, F&& pixel) noexcept {
    for (std::size_t i = 0; i < n; ++i, rgba += 4) {
        const Rgb8 out = pixel(Rgb8{rgba[0], rgba[1], rgba[2]});
        rgba[0] = out.r;
        rgba[1] = out.g;
        rgba[2] = out.b;
    }
}

// A run of one colour costs one compare; other repeats cost one memo probe.
template <class F>
void adjustMemo(std::uint8_t* rgba, std::size_t n, F&& pixel) noexcept {
    ColourMemo memo;
    auto compute = [&](std::uint32_t key) {
        return pack(pixel(Rgb8{static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8),
                               static_cast<std::uint8_t>(key >> 16)}));
    };
    std::uint32_t lastKey = 0xFFFFFFFFu, lastValue = 0;
    for (std::size_t i = 0; i < n; ++i, rgba += 4) {
        const std::uint32_t key = colourKey(rgba);
        if (key != lastKey) {
            lastValue = memo.get(key, compute);
            lastKey = key;
        }
        rgba[0] = static_cast<std::uint8_t>(lastValue);
        rgba[1] = static_cast<std::uint8_t>(lastValue >> 8);
        rgba[2] = static_cast<std::uint8_t>(lastValue >> 16);
    }
}

}  // namespace

Rgb8 hslAdjustPixel(Rgb8 in, const ColourShift& shift) noexcept {
    Hsl c = RgbToHsl(in.r, in.g, in.b);
    // RgbToHsl never reports hue -1, so greys are shifted too.
    c.h = shiftHue(c.h, shift.hue);
    c.s = limitUnit(c.s + shift.saturation * 0.01);
    c.l = limitUnit(c.l + shift.third * 0.01);
    return HslToRgb(c.h, c.s, c.l);
}

Rgb8 hsvAdjustPixel(Rgb8 in, const ColourShift& shift) noexcept {
    Hsv c = RgbToHsv(in.r, in.g, in.b);
    if (c.h != -1.0) {
        c.h = shiftHue(c.h, shift.hue);
        c.s = limitUnit(c.s + shift.saturation * 0.01);
    } else {
        c.h = 0.0;
        c.s = 0.0;
    }
    c.v = limitUnit(c.v + shift.third * 0.01);
    return HsvToRgb(c.h, c.s, c.v);
}

void hslAdjustPlain(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept {
    adjustPlain(rgba, pixelCount(width, height), [&](Rgb8 c) { return hslAdjustPixel(c, shift); });
}

void hsvAdjustPlain(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept {
    adjustPlain(rgba, pixelCount(width, height), [&](Rgb8 c) { return hsvAdjustPixel(c, shift); });
}

void hslAdjust(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept {
    adjustMemo(rgba, pixelCount(width, height), [&](Rgb8 c) { return hslAdjustPixel(c, shift); });
}

void hsvAdjust(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept {
    adjustMemo(rgba, pixelCount(width, height), [&](Rgb8 c) { return hsvAdjustPixel(c, shift); });
}

}  // namespace plr
