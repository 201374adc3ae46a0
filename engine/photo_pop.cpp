#include "engine/photo_pop.h"

#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/filters_tone.h"
#include "engine/page.h"
#include "engine/page_buffers.h"
#include "engine/page_filters.h"
#include "layers/layer_load.h"

namespace plr {
namespace {

constexpr std::int32_t kColourChannels = 7;

void maskedLoadBuffer(Page& page, const std::uint8_t* rgba) {
    if (LayerRecord* layer = page.currentLayer)
        loadRGBA32Layer(page, rgba, page.width * 4, page.currentLayerIndex, 0, 0, layer->width, layer->height, true);
}

// The sharpen of the first step, through the 24-bit buffers, which leave
// with it however it ends.
void sharpenLayer(Page& page) {
    struct Release {
        Page& page;
        ~Release() {
            page.processing.src24.reset();
            page.processing.dst24.reset();
        }
    } release{page};
    allocSrcBuffer24(page);
    allocDstBuffer24(page);
    const std::int32_t w = page.width, h = page.height;
    if (imaging_lib::SharpenImage(page.processing.src24.data(), w, h, 3, w * 3, page.processing.dst24.data(), w * 3, 5,
                                  kColourChannels))
        loadRGB24(page, page.processing.dst24.data(), w * 3, true);
}

}  // namespace

void inHouseStep(Page& page, FilterState& state, const char* name, std::int32_t keep, std::int32_t p1,
                 std::int32_t p2, std::int32_t option1, StepColour colour) {
    EffectArguments args;
    args.p[0] = p1;
    args.p[1] = p2;
    args.option[0] = option1;
    args.red = colour.red;
    args.green = colour.green;
    args.blue = colour.blue;
    effectOnBuffers(state, page, name, keep, args);
}

double popSaturationFactor(double saturation) noexcept {
    return saturation > 50 ? 0.02 * (saturation - 50) * 2 + 1 : 0.02 * saturation * 3 - 2;
}

std::int32_t photoPop(Page& page, FilterState& state, std::int32_t strength, double saturation,
                      std::uint8_t switchByte, StepColour colour) {
    ProcessingBuffers& b = page.processing;
    if (b.src32.empty() || b.dst32.empty()) return 0;
    sharpenLayer(page);
    // The contrast steps read SrcBuffer32: it must hold the sharpened layer,
    // or their loads would put the unsharpened picture back.
    updateSrcBuffer32(page);
    if (switchByte == 1) {
        inHouseStep(page, state, "Hyper Contrast", 0, 1, 0, 0, colour);
        maskedLoadBuffer(page, b.dst32.data());
        updateSrcBuffer32(page);
    }
    inHouseStep(page, state, "Hyper Contrast", 0, strength, 0, 0, colour);
    maskedLoadBuffer(page, b.dst32.data());
    updateSrcBuffer32(page);
    const std::int32_t w = page.width, h = page.height;
    if (!imaging_lib::ModifyImageSaturation(b.src32.data(), w, h, 4, w * 4, popSaturationFactor(saturation))) return 0;
    maskedLoadBuffer(page, b.src32.data());
    return 1;
}

}  // namespace plr
