#pragma once
// What the fill and the wand share (internal to page_fill.cpp and
// page_wand.cpp): the seed check, the 32-bit source buffer held for one
// call, the marker colour, and the alpha picture for the alpha modes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/block.h"
#include "engine/page.h"
#include "engine/page_region.h"

namespace plr::fill_run {

// The page's source buffer, filled from the current layer for one call and
// released at the end of it, also when a step fails.
class SourceLease {
public:
    explicit SourceLease(Page& page);
    ~SourceLease() { page_.processing.src32.reset(); }
    SourceLease(const SourceLease&) = delete;
    SourceLease& operator=(const SourceLease&) = delete;
    std::uint8_t* pixels() noexcept { return page_.processing.src32.data(); }

private:
    Page& page_;
};

// The entry of a mode table whose name equals `name` exactly (case and all),
// or null.
template <class Mode, std::size_t N>
const Mode* modeNamed(const Mode (&table)[N], const char* name) noexcept {
    if (!name) return nullptr;
    for (const Mode& m : table)
        if (std::strcmp(m.name, name) == 0) return &m;
    return nullptr;
}

// True when (x, y) lies on the page and the page has a current layer of its size.
bool canStart(Page& page, std::int32_t x, std::int32_t y) noexcept;

// The seed colour's bytes at (x, y) of a packed page-sized RGBA32 buffer.
inline const std::uint8_t* pixelAt(const Page& page, const std::uint8_t* rgba, std::int32_t x, std::int32_t y) noexcept {
    return rgba + (static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width) + static_cast<std::size_t>(x)) * 4;
}

// The region from the seed in the source buffer, marked with a free colour
// when one exists.
PageRegion findRegion(Page& page, std::uint8_t* rgba, std::int32_t x, std::int32_t y, std::int32_t tolerance,
                      bool connected);
// The same region listed in a map, the buffer left as it was.
Block<std::uint8_t> findRegionMap(Page& page, const std::uint8_t* rgba, std::int32_t x, std::int32_t y,
                                  std::int32_t tolerance, bool connected);

// The map (1 = in) of pixels four-connected to the seed whose alpha's high
// byte matches the seed's within the squared tolerance, read from the
// current layer as a grey RGB24 picture.
Block<std::uint8_t> alphaRegionMap(Page& page, std::int32_t x, std::int32_t y, std::int32_t tolerance);

}  // namespace plr::fill_run
