#pragma once
// The 64-slot layer table: creating, deleting and selecting slots.
#include <cstdint>

namespace plr {

struct Page;

// 1 on success, 0 on failure (index out of range, or no memory even after
// the history gave up its snapshots; "CreateLayer Excpt" when raised).
std::int32_t createLayer(Page& page, std::int32_t index, std::int32_t width, std::int32_t height) noexcept;
void deleteLayer(Page& page, std::int32_t index) noexcept;
void setLayer(Page& page, std::int32_t index);
std::int32_t layerCount(const Page& page) noexcept;

}  // namespace plr
