#pragma once
// The filter dispatcher: a display name and its settings applied to the
// current layer through the pipeline the catalogue gives it.
#include <cstdint>

#include "engine/filter_run.h"

namespace plr {

struct Page;

// Runs every catalogue block whose name equals call.name exactly (one at
// most), then frees both 24-bit buffers. Returns 0 at once, changing
// nothing, without both 32-bit processing buffers; 1 otherwise. Failures
// (EngineFailure and the like) pass to the caller's guard; what was loaded
// into the layer by then stays.
std::int32_t imageProcess(Page& page, FilterState& inHouse, effect_lib::LibraryState& effects, const FilterCall& call,
                          const FilterHooks& hooks);

}  // namespace plr
