#pragma once
// The catalogue of named filters: every display name the host may pass, in
// the order the dispatcher compares them, with the pipeline it runs in and
// its operation. The one list of filter names: the dispatcher, the
// command-line host's listing and every check derive from it.
#include <cstddef>
#include <span>
#include <string_view>

#include "engine/filter_ops.h"

namespace plr {

// The shapes a filter runs in. The first five are the pipelines proper;
// the variants differ only in the steps noted.
enum class Pipeline : unsigned char {
    None,               // no operation in this engine yet: runs nothing, like an unknown name
    LayerInPlace,       // L: read layer into SrcBuffer32, operate in place, masked load
    LayerAdjusted,      // L with pre-adjust before and post-adjust after the operation
    AdjustedSource,     // A: refresh, pre-adjust, SrcBuffer32 -> DstBuffer32, post-adjust, masked load
    PlainSource,        // S: SrcBuffer32 as the host left it -> DstBuffer32, masked load
    TwentyFour,         // T: SrcBuffer24 (from the layer) -> DstBuffer24, masked load 24
    TwentyFourInPlace,  // T on SrcBuffer24 alone, masked load 24 of it
    InHouse,            // I: refresh, in-house entry, masked load of DstBuffer32
    InHouseAdjusted,    // I with pre-adjust and post-adjust (the blur group)
    Own,                // the operation drives its own steps
};

// A short label of each shape for listings ("L", "A", ...).
std::string_view pipelineLabel(Pipeline shape) noexcept;

struct CatalogueEntry {
    std::string_view name;
    Pipeline shape;
    // The library work; for the in-house shapes an optional step before the
    // in-house entry.
    filter_ops::Operation run;
    // The name the in-house entry runs under (the in-house shapes only).
    std::string_view inHouse;
};

std::span<const CatalogueEntry> filterCatalogue() noexcept;

// The entry named exactly `name` (case included), or null.
const CatalogueEntry* findFilter(std::string_view name) noexcept;

}  // namespace plr
