#pragma once
// The two look-up tables of the levels adjustment: input levels stretch the
// range black..white over 0..255 with the middle of the range going to 127;
// output levels squeeze 0..255 into low..high.
#include <array>
#include <cstdint>

namespace plr {

using LevelsTable = std::array<std::uint8_t, 256>;

// Entries below `black` are 0, from `white` up 255; between them a running
// value climbs from 0 by 127 / (middle - black) up to the middle
// (black + (white - black) / 2) and by 127 / (white - middle) after it, each
// entry its truncation, never above 255.
LevelsTable levelsInputTable(std::uint8_t black, std::uint8_t white) noexcept;

// A running value starts at `low` and grows by ((high - low) mod 256) / 255
// an entry, never above 255; each entry is its truncation.
LevelsTable levelsOutputTable(std::uint8_t low, std::uint8_t high) noexcept;

}  // namespace plr
