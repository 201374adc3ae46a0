#pragma once
// The in-house filters on a page: the page's brush colour, current layer and
// selection mask as the filters' surroundings, and the run over the page's
// 32-bit processing buffers.
#include <cstdint>

#include "imaging/filters/filters.h"

namespace plr {

struct Page;

// Surroundings that read and write `page` (which must outlive their use).
FilterSurroundings pageSurroundings(Page& page) noexcept;

// Runs the named filter on the page's 32-bit source and destination
// processing buffers at page size, with the page as surroundings; nothing
// when either buffer is missing or smaller than the page.
void effectOnBuffers(FilterState& state, Page& page, const char* name, std::int32_t keepDestination,
                     const EffectArguments& args);

}  // namespace plr
