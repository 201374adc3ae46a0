#pragma once
#include <cstdint>

#include "core/block.h"

namespace plr {

// The page-sized exchange buffers that filters read and write.
struct ProcessingBuffers {
    Block<std::uint8_t> src32;
    Block<std::uint8_t> dst32;
    Block<std::uint8_t> src24;
    Block<std::uint8_t> dst24;

    void releaseAll() noexcept {
        src32.reset();
        dst32.reset();
        src24.reset();
        dst24.reset();
    }
};

}  // namespace plr
