#pragma once
// The page as the brush sees it: the history's page, the brush buffers and
// the random tables the dabs draw their variation from.
#include <cstdint>

#include "brush/brush_buffers.h"
#include "core/random_table.h"
#include "history/page_history.h"

namespace plr {

struct PageBrush : PageHistory {
    std::int32_t maxBrushSize = 0;
    std::int32_t brushRowValues = 0;  // maxBrushSize * 4
    BrushBuffers brush;
    RandomByteTable randomTables[2];
};

}  // namespace plr
