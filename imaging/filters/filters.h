#pragma once
// The in-house filters: twenty named filters on 8-bit RGBA pictures (row
// length width * 4), chosen by exact name. Unknown names run nothing; the
// filters report nothing.
#include <cstdint>

#include "imaging/filters/effect_params.h"

namespace plr {

// The integer arguments as the host passes them: P1..P6 in thousandths,
// options 1..8 (options 3..8 use their low byte), colour 0..255.
struct EffectArguments {
    std::int32_t p[6] = {};
    std::int32_t option[8] = {};
    std::int32_t red = 0, green = 0, blue = 0;
};

// Runs one filter from `source` into `destination` (width x height). With
// keepDestination 0 the destination first becomes a copy of the source and
// reads come from the source; otherwise reads and writes use the destination.
// The run's parameter block and work tables are `state`'s. Nothing happens
// for null pictures or sizes below 1.
void effectOnImage(FilterState& state, std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
                   std::int32_t height, const char* name, std::int32_t keepDestination, const EffectArguments& args,
                   const FilterSurroundings& around = {});

}  // namespace plr
