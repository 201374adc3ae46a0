#include <cstring>

#include "brush/effects/effect_params.h"
#include "brush/effects/effects.h"
#include "engine/engine.h"
#include "core/sizes.h"

namespace plr {
namespace {

struct NamedEffect {
    const char* name;
    void (*run)(EffectParams&);
};

// In the order the dispatcher compares them.
const NamedEffect kEffects[] = {
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

// The process-wide parameter block.
EffectParams gParams;

}  // namespace

void effectOnImage(std::uint8_t* source, std::uint8_t* destination, std::int32_t width, std::int32_t height,
                   const char* name, std::int32_t keepDestination, const EffectArguments& a) {
    if (!source || !destination || !name || width < 1 || height < 1) return;
    EffectParams& e = gParams;
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
    if (!keepDestination && source != destination)
        std::memmove(destination, source, saturatingProduct(std::uint64_t(width), std::uint64_t(height), 4));
    for (const NamedEffect& fx : kEffects)
        if (std::strcmp(name, fx.name) == 0) fx.run(e);
}

void effectOnBuffers(Page& page, const char* name, std::int32_t keepDestination, const EffectArguments& args) {
    const std::size_t bytes = saturatingProduct(page.pixelCount(), 4);
    if (page.processing.src32.size() < bytes || page.processing.dst32.size() < bytes) return;
    if (page.processing.src32.empty() || page.processing.dst32.empty()) return;
    effectOnImage(page.processing.src32.data(), page.processing.dst32.data(), page.width, page.height, name,
                  keepDestination, args);
}

}  // namespace plr
