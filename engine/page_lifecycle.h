#pragma once
#include <cstdint>

namespace plr {

struct Page;

// Page sizes outside 0..10000 become 100.
std::int32_t clampPageSide(std::int32_t side) noexcept;
// Brush sizes are replaced too: a negative one by 0, one larger than the
// largest page by 10000 (the scratch planes are maxBrushSize squared).
std::int32_t clampBrushSize(std::int32_t size) noexcept;

// Each runs under its own failure guard ("CreateImage", "NewSize",
// "DeleteImage"); work done before a failure stays done.
void createImage(void* owner, std::int32_t width, std::int32_t height, std::int32_t maxBrushSize,
                 std::int32_t reserved) noexcept;
void newSize(void* owner, std::int32_t width, std::int32_t height, std::int32_t maxBrushSize,
             std::int32_t reserved) noexcept;
void deleteImage() noexcept;

// (Re)builds the page's two random tables for the current seed; guarded
// itself ("MakeRandArrayByte").
void buildPageRandomTables(Page& page) noexcept;

}  // namespace plr
