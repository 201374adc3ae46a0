#pragma once
// The generator effects: numbered effects that draw a picture of their own
// (shapes, plasma, noise, patterns) and lay it over the picture they are run
// on. Pictures are BGRA; alpha is never changed. Everything random comes
// from the C run-time's generator seeded with value 3, so the same value
// draws the same picture on every platform.
//
// Common values:
//   3           seed (not for 24 Sine Plasma and 42 Pattern);
//   blend       the drawing mode, at the index the table in
//               effect_generators.cpp gives each effect: 0 replace, 1 add,
//               2 subtract, 3 multiply, 4 screen, 5 darken, 6 lighten,
//               7 difference, 8 overlay, 9 average, 10 hard light,
//               11 invert (the picture inverted where drawn), 12 and any
//               other value normal (colour over the picture by coverage);
//   colour      red, green, blue 0..255 at three consecutive indices.
// Shape effects (values after the colon are parameter indices):
//   1 Lines:      4 count, 5 length, 6 angle in degrees, 17 angle spread in
//                 percent of a half turn, 7 width, 18 colour spread percent,
//                 15 anti-aliased when 1, 16 random colours when 1;
//   2 Circles:    4 count, 5 largest radius, 17 size spread percent, 7 ring
//                 width (0 filled), 18, 15, 16 as Lines;
//   3 Rectangles: 4 count, 5 largest width, 6 largest height, 17 size
//                 spread, 7 outline width (0 filled), 18, 15, 16 as Lines;
//   4 Splines:    4 count, 5 control points (2..64), 7 reach between points,
//                 8 width, 17 width spread percent, 18 colour spread,
//                 16 random colours; always anti-aliased;
//   37 Worms:     4 count, 5 length in steps of 2 pixels, 6 largest turn a
//                 step in tenths of a degree, 7 width, 16 colour spread,
//                 15 random colours;
//   43 Points:    4 count, 5 radius, 14 colour spread, 13 random colours;
//   58 Trees:     4 count, 19 branch spread (percent of 90 degrees), 5 trunk
//                 length, 6 branching depth (0..10), 8 trunk width, 17 colour
//                 spread, 16 random colours;
//   59 Fibers:    4 strands per 20 columns, 5 strand length (0: the picture's
//                 height), 6 width, 12 waviness percent, 7 softness (blur
//                 reach), 11 colour spread percent.
// Field effects (colour times a grey field, drawn everywhere):
//   5 Plasma:        4 roughness 0..500, 12 three independent fields (1) or one;
//   11 Perlin Noise: 4 feature size in percent of half the longer side,
//                    5 persistence percent, 13 three fields when 1;
//   20 Blobs:        4 count, 5 largest radius, 14 hard edges when 1 (the
//                    blobs are drawn where their summed field exceeds a half);
//   21 Noise:        4 cell width, 5 cell height, 6 contrast percent,
//                    14 three fields when 1;
//   24 Sine Plasma:  3 waves across, 4 waves down, 5 diagonal waves in tenths,
//                    6 ring waves in tenths;
//   55 Fractal Plasma: 11 three fields when 1; six octaves of value noise;
//   42 Pattern:      6 kind (0 checks, 1 stripes, 2 bricks, 3 dots, 4 weave,
//                    5 diamonds; others taken modulo 6), 3 cell width, 4 cell
//                    height (at least 2), 12 line weight percent of the cell,
//                    5 softness (blur reach), 11 contrast percent, 13 inverted
//                    when 1; grey, no colour values.
#include <cstdint>

namespace plr::effect_lib {

bool knownGenerator(std::int32_t number) noexcept;
// Draws generator `number` over the BGRA picture; false for an unknown number,
// bad sizes or missing work memory.
bool runGenerator(std::int32_t number, const std::int32_t* values, std::uint8_t* bgra, std::int32_t width,
                  std::int32_t height) noexcept;

}  // namespace plr::effect_lib
