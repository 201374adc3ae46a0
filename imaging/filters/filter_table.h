#pragma once
// The in-house filters by name, in the order the dispatcher compares them.
// The one list of their names: the dispatch and every check derive from it.
#include <cstddef>
#include <iterator>
#include <string_view>

#include "imaging/filters/effect_params.h"

namespace plr {

struct NamedFilter {
    std::string_view name;
    void (*run)(EffectParams&);
};

inline constexpr NamedFilter kInHouseFilters[] = {
    {"Anti Alias", effectAntiAlias},
    {"Adaptive Blur", effectAdaptiveBlur},
    {"Line Art Cleaner", effectLineArtCleaner},
    {"Basic Threshold", effectBasicThreshold},
    {"Adjust Lab", effectAdjustLab},
    {"Detail Blur", effectDetailBlur},
    {"Value Blur", effectValueBlur},
    {"Noise Reduction", effectNoiseReduction},
    {"Noise Reduction RGB", effectNoiseReductionRgb},
    {"Hyper Contrast", effectHyperContrast},
    {"Bas Relief", effectBasRelief},
    {"Grayscale", effectGrayscale},
    {"Invert", effectInvert},
    {"Vignette", effectVignette},
    {"Channel", effectChannel},
    {"Reflection", effectReflection},
    {"Fader", effectFader},
    {"Borderize", effectBorderize},
    {"Clamp", effectClamp},
    {"Mask Detail", effectMaskDetail},
};

namespace filter_table_checks {

constexpr bool namesDistinctAndFilled() {
    for (std::size_t i = 0; i < std::size(kInHouseFilters); ++i) {
        if (kInHouseFilters[i].name.empty()) return false;
        for (std::size_t j = i + 1; j < std::size(kInHouseFilters); ++j)
            if (kInHouseFilters[i].name == kInHouseFilters[j].name) return false;
    }
    return true;
}

}  // namespace filter_table_checks

static_assert(std::size(kInHouseFilters) == 20, "twenty in-house filters");
// Every matching entry runs, so distinct names mean at most one filter per name.
static_assert(filter_table_checks::namesDistinctAndFilled(), "each filter named once");

}  // namespace plr
