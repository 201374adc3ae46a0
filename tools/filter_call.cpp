#include "filter_call.h"

#include <cstring>
#include <iterator>

#include "paloran.h"

namespace plr::host {
namespace {

// The pipeline shapes' labels: L layer in place (L+ with the alpha adjust),
// A adjusted source to destination, S source as left to destination, T
// 24-bit, I in-house (I+ with the alpha adjust), own steps, - none yet.
constexpr const char* kNone = "-";
constexpr const char* kLayerInPlace = "L";
constexpr const char* kLayerAdjusted = "L+";
constexpr const char* kAdjustedSource = "A";
constexpr const char* kPlainSource = "S";
constexpr const char* kTwentyFour = "T";
constexpr const char* kTwentyFourInPlace = "T";
constexpr const char* kInHouse = "I";
constexpr const char* kInHouseAdjusted = "I+";
constexpr const char* kOwn = "own";

constexpr FilterListing kListing[] = {
#define PLR_FILTER(name, shape, operation, inHouseName) {name, k##shape},
#include "paloran_filters.inc"
#undef PLR_FILTER
};

}  // namespace

bool knownFilterName(std::string_view name) {
    for (const FilterListing& f : kListing)
        if (name == f.name) return true;
    return false;
}

const FilterListing* filterListing(std::size_t& count) {
    count = std::size(kListing);
    return kListing;
}

bool applyFilter(const FilterSettings& s) {
    PLR_SetLastError("");
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
    PLR_IPLImageProcess(0, s.name.c_str(), s.random, s.p[0], s.p[1], s.p[2], s.p[3], s.p[4], s.p[5], s.option[0],
                        s.option[1], s.option[2], s.option[3], s.option[4], s.option[5], s.option[6], s.option[7],
                        s.red, s.green, s.blue, s.text.c_str());
    PLR_IPLFreeSrcBuffer32();
    PLR_IPLFreeDstBuffer32();
    const char* error = PLR_GetLastError();
    return !error || !*error;
}

}  // namespace plr::host
