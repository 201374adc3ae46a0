#pragma once
// The numbered effects the library runs on a 32-bit picture in place. The
// engine hands pictures over in BGRA order (byte 0 blue, 2 red, 3 alpha);
// alpha is never changed. Parameters are the effect's values 0..15 as set
// by SetEffectValue; the ones each effect reads:
//   19 Edge:      3 strength 1..255 (64 = plain Sobel magnitude), 4 floor in
//                 percent of full scale (weaker edges vanish), 5 percent of
//                 the original kept under the edges (0: edges on black);
//   23 Emboss2:   3 depth 1..256, 4 light azimuth in degrees (0 = from the
//                 right, counter-clockwise), 5 light elevation in degrees,
//                 7 percent of the picture's colour kept (0: grey relief);
//   25 Maximum, 26 Minimum: 3 radius; each colour channel takes the largest
//                 (smallest) value of the square of that radius;
//   27 Bump:      3 depth 1..256, 4 softness of the relief 1..51, 5
//                 brightness shift -25..25 percent; light from the top left;
//   28 Colorize:  3 hue 0..255 (a full turn), 4 saturation 0..255, 5
//                 lightness 0..255 (128 keeps the picture's own);
//   51 rotation (effect_library.h);
//   6, 13, 16, 17, 18, 22, 39, 49, 50, 52, 54, 56: the distortions of
//                 effect_distort.h;
//   the generators 1 to 5, 11, 20, 21, 24, 37, 42, 43, 55, 58, 59
//                 (effect_generators.h).
#include <cstdint>

namespace plr::effect_lib {

// True when the library knows effect `number`.
bool knownEffect(std::int32_t number) noexcept;
// Runs it; false for an unknown number, bad sizes or missing work memory.
bool runNumberedEffect(std::int32_t number, const std::int32_t* values, std::uint8_t* bgra, std::int32_t width,
                       std::int32_t height) noexcept;

}  // namespace plr::effect_lib
