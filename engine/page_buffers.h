#pragma once
// The page's four processing buffers: allocation, refresh from the current
// layer, copies in from the host, release. Each buffer is absent or holds
// exactly the page's pixels at the moment it was allocated; page creation,
// size changes and deletion release all four.
#include <cstdint>

namespace plr {

struct Page;

// (Re)allocates the 32-bit source buffer and fills it with the current layer
// as RGBA32 (the high-byte rule); without a current layer of the page's size
// the buffer is allocated and left zeroed. Raises EngineFailure when the heap
// says no (the old buffer is gone by then).
void allocSrcBuffer32(Page& page);
// Refills an existing 32-bit source buffer from the current layer: true when
// it did; false without a page-sized buffer or a current layer with pixels.
bool updateSrcBuffer32(Page& page);
void allocDstBuffer32(Page& page);
// (Re)allocates the 24-bit source buffer and fills it with the current layer
// as RGB24, row stride width * 3.
void allocSrcBuffer24(Page& page);
void allocDstBuffer24(Page& page);

// Copies width * height * 4 bytes from `image` into the buffer; nothing when
// the buffer is absent, no longer page-sized, or `image` is null.
void setSrcBuffer32(Page& page, const std::uint8_t* image);
void setDstBuffer32(Page& page, const std::uint8_t* image);

// With the 32-bit source buffer present and the mask switched on, scales the
// buffer's alpha by the selection mask.
void applyMaskToSrcBufferAlpha(Page& page);

}  // namespace plr
