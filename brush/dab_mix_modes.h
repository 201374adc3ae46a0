#pragma once
// The dab-level mix modes (34..48, the colour-bank and conditional modes,
// posterize, grey and the two lightness pickers). The dab and the mixing
// buffer's mix pick-up share them: the dab mixes the value with the brush
// colour by the mix strength, the pick-up uses it as it stands.
#include <cstdint>

#include "brush/brush_settings.h"

namespace plr {

enum class MixOutcome : std::uint8_t {
    Value,      // X holds the mode's value (the dab mixes it with S by strength)
    Direct,     // X holds the result itself (posterize): no strength mixing
    Unchanged,  // the target keeps its value
    Grey,       // X is mid grey; the result alpha is the source lightness L
};

// True for the mode numbers the mix-mode table lists; others paint as Normal.
bool isListedMixMode(std::int32_t mode) noexcept;

// The mode's value X per colour channel for source colour s and target colour
// d (16-bit values in 32-bit lanes). `lightness` receives L = (sr + sg + sb) / 3.
MixOutcome mixModeValue(std::int32_t mode, const std::uint32_t s[3], const std::uint32_t d[3], const Color16 banks[4],
                        std::int32_t posterizeShift, std::uint32_t x[3], std::uint32_t& lightness) noexcept;

}  // namespace plr
