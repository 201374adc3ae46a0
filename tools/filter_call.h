#pragma once
// Applying a named filter to the current layer as a windowed host does:
// both 32-bit processing buffers allocated around PLR_IPLImageProcess.
#include <cstdint>
#include <string>
#include <string_view>

namespace plr::host {

struct FilterSettings {
    std::string name;
    std::int32_t random = 0;
    std::int32_t p[6] = {500, 500, 500, 500, 500, 500};
    std::int32_t option[8] = {};
    std::int32_t red = 0, green = 0, blue = 0;
    std::string text;
};

// True when the engine's catalogue holds `name` exactly.
bool knownFilterName(std::string_view name);
// The catalogue's names with the label of the pipeline each runs in ("-" for
// names this engine does not run yet), in dispatch order.
struct FilterListing {
    const char* name;
    const char* pipeline;
};
const FilterListing* filterListing(std::size_t& count);

// Allocates both 32-bit buffers, runs the filter, frees them. False when the
// engine reported a failure (its last-error text says which).
bool applyFilter(const FilterSettings& settings);

}  // namespace plr::host
