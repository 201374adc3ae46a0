#pragma once
// The numbered effects that move pixels, each one coordinate formula (or,
// for 52 and 56, one plain pass) on a BGRA picture in place. Colour only:
// the alpha bytes stay. Values are the effect's parameters 0..15:
//    6 twirl:      3 angle in degrees at the middle, 4 radius in percent of
//                  half the diagonal (0: 100), 5 tightness (the turn fades
//                  as (1 - r)^(1 + v/25)), 7 1: turn the other way;
//   13 sine:       3, 4 horizontal and vertical wavelength in pixels,
//                  5, 6 their amplitudes, 7, 8 their phases in pixels,
//                  9 1: the picture wraps round at the edges;
//   16 waves:      3 wavelength in pixels, 4 amplitude in tenths of a
//                  pixel, 6 direction in degrees, 5 1: wraps round;
//   17 divider:    3, 4 columns and rows, 1 + v / 10 each, every cell the
//                  whole picture;
//   18 carpet:     3, 4 tile width and height in 1/500 of the picture's
//                  (0: the whole picture), the top-left tile mirrored
//                  across the picture;
//   22 voxel:      3 block size in pixels, each block its middle's colour;
//   39 glass:      3 seed, 4 block size in tenths of a pixel (at least 2
//                  pixels), 5 largest shift of a block in pixels;
//   49 mirror:     3, 4 centre in pixels, 5 wedges round it (at least 1:
//                  the picture as it is), 6 0: every other wedge mirrored,
//                  else repeated;
//   50 zoom:       3 magnification 2^((v - 501) / 250), 4, 5 centre shift
//                  in per mille of half the width and height, 7 1: the
//                  picture tiles beyond its edges (else black);
//   52 seamless:   3 width in pixels of the edge band where the half-offset
//                  picture shows through, so the result tiles without seams;
//   54 tilt:       3, 4 turn of the picture plane about its upright and
//                  level axes, +-1000 = +-60 degrees, seen in perspective;
//   56 scratch:    3 seed, 4 count, 5 length in pixels, 6 angle in degrees,
//                  7 1: dark scratches (else light), 9 1: every scratch at
//                  its own angle.
#include <cstdint>

namespace plr::effect_lib {

// True when `number` is one of the above; runs it (false: unknown or short
// of work memory).
bool isDistortion(std::int32_t number) noexcept;
bool runDistortion(std::int32_t number, std::uint8_t* bgra, std::int32_t width, std::int32_t height,
                   const std::int32_t* values) noexcept;

}  // namespace plr::effect_lib
