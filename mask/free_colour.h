#pragma once
// The marker colour: a colour that occurs nowhere in an RGBA32 picture, so
// that a region recoloured with it can be found again by exact match.
#include <cstddef>
#include <cstdint>

namespace plr {

// What findFreeColour answers when every one of the 2^24 colours is in use:
// the first value past them. (256 cannot say it: packed, 256 is green 1 with
// red and blue 0, which is the right answer for a picture whose only
// crowded colours are the 256 pure reds.)
inline constexpr std::uint32_t kNoFreeColour = 1u << 24;

// The first colour, in the order blue 0..255, then green 0..255, then red
// 0..255, that no pixel of the `count` RGBA32 pixels has (alpha ignored),
// packed red | green << 8 | blue << 16; kNoFreeColour when there is none.
// One pass when blue 0, green 0 has a free red (any picture that is not
// mostly pure reds); otherwise a second pass over a 2 MB used-colour bit
// table, which raises EngineFailure when the heap says no.
std::uint32_t findFreeColour(const std::uint8_t* rgba, std::size_t count);

}  // namespace plr
