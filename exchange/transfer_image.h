#pragma once
#include <cstdint>

#include "core/block.h"

namespace plr {

// The one process-wide RGBA32 picture through which files, pastes,
// captures and scans enter the engine.
struct TransferImage {
    Block<std::uint8_t> rgba;  // width * height * 4 bytes, packed
    std::int32_t width = 0;
    std::int32_t height = 0;
};

}  // namespace plr
