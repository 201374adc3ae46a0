#pragma once
// The one picture the engine holds, with every buffer reached from it. Each
// level below sees only its part of it (layers/page_layers.h,
// history/page_history.h, brush/page_brush.h); the engine adds the host's
// window and the processing buffers.
#include <cstdint>

#include "brush/page_brush.h"
#include "imaging/processing_buffers.h"

namespace plr {

struct Page : PageBrush {
    void* ownerWindow = nullptr;
    std::int32_t reserved = 0;
    ProcessingBuffers processing;
};

}  // namespace plr
