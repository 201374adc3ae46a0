#include "engine/page_filter_dispatch.h"

#include <string_view>

#include "engine/filter_catalogue.h"
#include "engine/page.h"
#include "engine/page_buffers.h"
#include "engine/page_filters.h"

namespace plr {
namespace {

// The 24-bit buffers leave with the filter that took them, however it ends.
struct TwentyFourBitBuffers {
    Page& page;
    ~TwentyFourBitBuffers() {
        page.processing.src24.reset();
        page.processing.dst24.reset();
    }
};

void setBuffers(FilterRun& run, std::uint8_t* in, std::uint8_t* out, std::int32_t bytesPerPixel) {
    run.in = in;
    run.out = out;
    run.bytesPerPixel = bytesPerPixel;
}

void runInHouse(FilterRun& run, const CatalogueEntry& e, bool adjusted) {
    ProcessingBuffers& b = run.page.processing;
    refreshSource(run);
    if (adjusted) preAdjust(run, b.src32.data());
    setBuffers(run, b.src32.data(), b.dst32.data(), 4);
    if (e.run) e.run(run);
    effectOnBuffers(run.inHouse, run.page, e.inHouse.data(), 0, run.call.args);
    if (adjusted) postAdjust(run, b.dst32.data());
    maskedLoad32(run, b.dst32.data());
}

void runEntry(FilterRun& run, const CatalogueEntry& e) {
    ProcessingBuffers& b = run.page.processing;
    switch (e.shape) {
        case Pipeline::None:
            return;
        case Pipeline::LayerInPlace:
        case Pipeline::LayerAdjusted: {
            const bool adjusted = e.shape == Pipeline::LayerAdjusted;
            readLayerIntoSource(run);
            if (adjusted) preAdjust(run, b.src32.data());
            setBuffers(run, b.src32.data(), b.src32.data(), 4);
            if (!e.run(run)) return;
            if (adjusted) postAdjust(run, b.src32.data());
            maskedLoad32(run, b.src32.data());
            return;
        }
        case Pipeline::AdjustedSource:
            refreshSource(run);
            preAdjust(run, b.src32.data());
            setBuffers(run, b.src32.data(), b.dst32.data(), 4);
            if (!e.run(run)) return;
            postAdjust(run, b.dst32.data());
            maskedLoad32(run, b.dst32.data());
            return;
        case Pipeline::PlainSource:
            setBuffers(run, b.src32.data(), b.dst32.data(), 4);
            if (e.run(run)) maskedLoad32(run, b.dst32.data());
            return;
        case Pipeline::TwentyFour:
        case Pipeline::TwentyFourInPlace: {
            const bool inPlace = e.shape == Pipeline::TwentyFourInPlace;
            TwentyFourBitBuffers release{run.page};
            allocSrcBuffer24(run.page);
            if (!inPlace) allocDstBuffer24(run.page);
            std::uint8_t* out = inPlace ? b.src24.data() : b.dst24.data();
            setBuffers(run, b.src24.data(), out, 3);
            if (e.run(run)) maskedLoad24(run, out);
            return;
        }
        case Pipeline::InHouse:
        case Pipeline::InHouseAdjusted:
            runInHouse(run, e, e.shape == Pipeline::InHouseAdjusted);
            return;
        case Pipeline::Own:
            e.run(run);
            return;
    }
}

}  // namespace

std::int32_t imageProcess(Page& page, FilterState& inHouse, effect_lib::LibraryState& effects, const FilterCall& call,
                          const FilterHooks& hooks) {
    if (page.processing.src32.empty() || page.processing.dst32.empty()) return 0;
    TwentyFourBitBuffers release{page};
    FilterRun run(page, inHouse, effects, call, hooks);
    if (call.name) {
        // Every block whose name matches runs; names are distinct, so one at most.
        const std::string_view name(call.name);
        for (const CatalogueEntry& e : filterCatalogue())
            if (name == e.name) runEntry(run, e);
    }
    return 1;
}

}  // namespace plr
