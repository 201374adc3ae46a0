#pragma once
// The 64-slot layer table: creating, deleting and selecting slots. It keeps
// the history in step: creating gives the history's snapshots back when
// memory runs out, selecting starts the new current layer's under-layer.
#include <cstdint>

namespace plr {

struct PageHistory;

// 1 on success, 0 on failure (index out of range, or no memory even after
// the history gave up its snapshots; "CreateLayer Excpt" when raised).
std::int32_t createLayer(PageHistory& page, std::int32_t index, std::int32_t width, std::int32_t height) noexcept;
void deleteLayer(PageHistory& page, std::int32_t index) noexcept;
void setLayer(PageHistory& page, std::int32_t index);
std::int32_t layerCount(const PageHistory& page) noexcept;

}  // namespace plr
