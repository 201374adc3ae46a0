#pragma once
#include <cstdint>

#include "core/block.h"

namespace plr {

// The selection mask: one 16-bit value per page pixel, 0xFFFF open, 0 protected.
struct MaskState {
    Block<std::uint16_t> plane;
    std::uint8_t enabled = 0;  // "maskEnabled": painting, filters and loads consult the mask
};

}  // namespace plr
