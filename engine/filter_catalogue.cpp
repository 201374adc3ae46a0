#include "engine/filter_catalogue.h"

#include <iterator>

#include "imaging/filters/filter_table.h"

namespace plr {
namespace {

namespace op = filter_ops;
using P = Pipeline;

// Dispatch order (include/paloran_filters.inc). Grouped names ("Surface
// Blur" and "Noise Reduction 2", the five names of each texture group) share
// one operation.
constexpr CatalogueEntry kCatalogue[] = {
#define PLR_FILTER(name, shape, operation, inHouseName) {name, Pipeline::shape, op::operation, inHouseName},
#include "paloran_filters.inc"
#undef PLR_FILTER
};

constexpr bool namesDistinct() {
    for (std::size_t i = 0; i < std::size(kCatalogue); ++i)
        for (std::size_t j = i + 1; j < std::size(kCatalogue); ++j)
            if (kCatalogue[i].name == kCatalogue[j].name) return false;
    return true;
}

// Every in-house row runs a filter the in-house entry knows.
constexpr bool inHouseNamesKnown() {
    for (const CatalogueEntry& e : kCatalogue) {
        if (e.shape != P::InHouse && e.shape != P::InHouseAdjusted) continue;
        bool known = false;
        for (const NamedFilter& f : kInHouseFilters) known = known || f.name == e.inHouse;
        if (!known) return false;
    }
    return true;
}

static_assert(std::size(kCatalogue) == 180, "one hundred and eighty named filters");
static_assert(namesDistinct(), "each filter named once: one block runs per name");
static_assert(inHouseNamesKnown(), "in-house rows name in-house filters");

constexpr std::string_view kLabels[] = {"-", "L", "L+", "A", "S", "T", "T", "I", "I+", "own"};

}  // namespace

std::string_view pipelineLabel(Pipeline shape) noexcept {
    const auto i = static_cast<std::size_t>(shape);
    return i < std::size(kLabels) ? kLabels[i] : "?";
}

std::span<const CatalogueEntry> filterCatalogue() noexcept { return kCatalogue; }

const CatalogueEntry* findFilter(std::string_view name) noexcept {
    for (const CatalogueEntry& e : kCatalogue)
        if (e.name == name) return &e;
    return nullptr;
}

}  // namespace plr
