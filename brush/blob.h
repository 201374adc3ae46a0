#pragma once
#include <cstdint>

namespace plr {

struct PageBrush;

// Turns a page-sized layer into a blob: alpha above 8191 becomes
// trunc(L * 0.843 + 10239) with L = (r + g + b) / 3; colours become 32767
// (mode other than 1) or are pulled toward the middle (mode 1). False when
// the slot has no page-sized pixels.
bool createBlobFromImage(PageBrush& page, std::int32_t layerIndex, std::int32_t mode) noexcept;

}  // namespace plr
