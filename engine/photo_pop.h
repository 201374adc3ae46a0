#pragma once
// Photo pop, the one-call photo enhancement, and the in-house step the
// composite filters chain: both work on the page's processing buffers and
// the current layer.
#include <cstdint>

#include "imaging/filters/filters.h"

namespace plr {

struct Page;

// The filter colour the in-house steps carry (0..255 a channel).
struct StepColour {
    std::int32_t red = 0, green = 0, blue = 0;
};

// The in-house filter `name` over SrcBuffer32 -> DstBuffer32 with keep flag
// `keep`, P1 = p1, P2 = p2, option 1 = option1 and every other value 0.
void inHouseStep(Page& page, FilterState& state, const char* name, std::int32_t keep, std::int32_t p1,
                 std::int32_t p2, std::int32_t option1, StepColour colour);

// The saturation factor of a 0..100 setting: 1 at 50, -2 at 0, 3 at 100,
// linear on each side.
double popSaturationFactor(double saturation) noexcept;

// Sharpens the current layer through the 24-bit buffers, lifts its contrast
// with the in-house "Hyper Contrast" (first at P1 = 1 when `switchByte` is 1,
// then at P1 = `strength`) and changes its saturation by
// popSaturationFactor(saturation), loading each result through the mask.
// Needs both 32-bit buffers (0 without them). Returns 1 when the final load
// ran, 0 when the saturation step failed.
std::int32_t photoPop(Page& page, FilterState& state, std::int32_t strength, double saturation,
                      std::uint8_t switchByte, StepColour colour);

}  // namespace plr
