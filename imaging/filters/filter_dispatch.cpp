#include <cstring>
#include <string_view>

#include "core/sizes.h"
#include "imaging/filters/filter_table.h"
#include "imaging/filters/filters.h"

namespace plr {

void effectOnImage(FilterState& state, std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
                   std::int32_t height, const char* name, std::int32_t keepDestination, const EffectArguments& a,
                   const FilterSurroundings& around) {
    if (!source || !destination || !name || width < 1 || height < 1) return;
    EffectParams& e = state.params;
    e = EffectParams{};
    e.destination = destination;
    e.source = source;
    e.lastRow = height - 1;
    e.lastColumn = width - 1;
    e.height = height;
    e.width = width;
    e.rowLength = width * 4;
    e.red = a.red / 255.0;
    e.green = a.green / 255.0;
    e.blue = a.blue / 255.0;
    e.option1 = a.option[0];
    e.option2 = a.option[1];
    for (int k = 3; k <= 8; ++k) e.option[k] = static_cast<std::uint8_t>(a.option[k - 1]);
    for (int k = 1; k <= 6; ++k) e.p[k] = a.p[k - 1] * 0.001;
    e.keepDestination = static_cast<std::uint8_t>(keepDestination != 0);
    e.sweepTables = &state.sweep;
    e.around = &around;
    if (!keepDestination && source != destination)
        std::memmove(destination, source, saturatingProduct(std::uint64_t(width), std::uint64_t(height), 4));
    // Names compare exactly, terminating zero included.
    const std::string_view wanted(name);
    for (const NamedFilter& f : kInHouseFilters)
        if (wanted == f.name) f.run(e);
    e.around = nullptr;  // the surroundings live only as long as the call
}

}  // namespace plr
