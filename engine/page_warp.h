#pragma once
// The point-to-point push of the current layer through the processing
// buffers.
#include <cstdint>

namespace plr {

struct Page;

// With both 32-bit processing buffers: SrcBuffer32 as it stands
// (premultiplied, not refreshed) pushed from (fromX, fromY) to (toX, toY)
// into DstBuffer32, which is divided back and loaded into the current layer
// with masking on. Without them nothing happens.
void warpPointToPoint(Page& page, std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY) noexcept;

}  // namespace plr
