#pragma once
// Hue, saturation and lightness (or value) shifts of an RGBA32 buffer in
// place, through the HSL or HSV round trip of colour_spaces.h. Alpha is
// never touched.
#include <cstdint>

#include "imaging/colour_spaces.h"

namespace plr {

struct ColourShift {
    std::int32_t hue = 0;         // degrees
    std::int32_t saturation = 0;  // percent
    std::int32_t third = 0;       // lightness or value, percent
};

// One pixel. Hue: shifted, then > 360 loses 360 once and < 0 gains 360 once;
// saturation and lightness/value: + shift * 0.01, limited to 0..1. HSV greys
// (hue -1) get hue and saturation 0 and only their value shifted; HSL greys
// have hue 0 and are shifted like any colour.
Rgb8 hslAdjustPixel(Rgb8 in, const ColourShift& shift) noexcept;
Rgb8 hsvAdjustPixel(Rgb8 in, const ColourShift& shift) noexcept;

// Packed buffers of width * height pixels (rows of width * 4 bytes). The
// plain forms convert every pixel; the others skip repeated colours through
// a colour memo and give the same bytes.
void hslAdjustPlain(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept;
void hsvAdjustPlain(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept;
void hslAdjust(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept;
void hsvAdjust(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const ColourShift& shift) noexcept;

}  // namespace plr
