// The stand-alone filters: photo pop on the current layer and the blur of a
// host's RGB24 buffer.
#include <algorithm>

#include "adapters/imaging/filters_smooth.h"
#include "api/export.h"
#include "core/block.h"
#include "core/failure.h"
#include "core/sizes.h"
#include "engine/photo_pop.h"

using namespace plr;

extern "C" {

int32_t PLR_IPLPhotoPop(int32_t strength, double saturation, int32_t switchByte) noexcept {
    // No last-error text of its own: a failure keeps the steps loaded so far.
    try {
        EngineState& e = engine();
        return photoPop(e.page, e.filters, strength, saturation, static_cast<std::uint8_t>(switchByte), {});
    } catch (...) {
        return 0;
    }
}

void PLR_BlurMoreBufferRGB24(uint8_t* rgb, int32_t width, int32_t height, int32_t radiusSetting,
                             int32_t weightSetting) noexcept {
    guardedExport<exported::PLR_BlurMoreBufferRGB24>([&] {
        if (!rgb || width < 1 || height < 1) return;
        const std::size_t rowBytes = saturatingProduct(std::size_t(width), 3);
        if (rowBytes > std::size_t(INT32_MAX)) return;  // the library call takes its stride as an int
        const std::size_t bytes = saturatingProduct(rowBytes, std::size_t(height));
        Block<std::uint8_t> out;
        need(out.allocate(bytes));
        // Every channel, the radius in fifths of the setting, the weight in hundredths.
        if (imaging_lib::BlurImageRadius(rgb, width, height, 3, width * 3, out.data(), width * 3, radiusSetting / 5,
                                         weightSetting * 0.01, 15))
            std::copy(out.data(), out.data() + bytes, rgb);
    });
}

}  // extern "C"
