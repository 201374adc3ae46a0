#pragma once
// The in-house effects: twenty named effects on 8-bit RGBA pictures (row
// length width * 4), chosen by exact name. Unknown names run nothing; the
// effects report nothing.
#include <cstdint>

namespace plr {

struct Page;

// The integer arguments as the host passes them: P1..P6 in thousandths,
// options 1..8 (options 3..8 use their low byte), colour 0..255.
struct EffectArguments {
    std::int32_t p[6] = {};
    std::int32_t option[8] = {};
    std::int32_t red = 0, green = 0, blue = 0;
};

// Runs one effect from `source` into `destination` (width x height). With
// keepDestination 0 the destination first becomes a copy of the source and
// reads come from the source; otherwise reads and writes use the destination.
// Nothing happens for null pictures or sizes below 1.
void effectOnImage(std::uint8_t* source, std::uint8_t* destination, std::int32_t width, std::int32_t height,
                   const char* name, std::int32_t keepDestination, const EffectArguments& args);

// The same on the page's 32-bit source and destination processing buffers
// at page size; nothing when either is missing or smaller than the page.
void effectOnBuffers(Page& page, const char* name, std::int32_t keepDestination, const EffectArguments& args);

}  // namespace plr
