#pragma once
#include <cstdint>

#include "core/block.h"

namespace plr {

// How the render shows the mask (see mask/mask_overlay.h).
struct MaskOverlaySettings {
    std::uint16_t colour1[3] = {};  // red, green, blue widened to 16 bits (byte * 256)
    std::uint16_t colour2[3] = {};
    std::int32_t solid = 0;  // 0: at most half of the overlay colour shows
};

// The selection mask: one 16-bit value per page pixel, 0xFFFF open, 0 protected.
struct MaskState {
    Block<std::uint16_t> plane;
    std::uint8_t enabled = 0;    // "maskEnabled": painting, filters and loads consult the mask
    std::uint8_t displayed = 0;  // the render draws the overlay while this and `enabled` are set
    std::uint8_t makerOn = 0;    // dabs are drawn into the mask; the tool setter switches it off
    MaskOverlaySettings overlay;
};

}  // namespace plr
