#include "brush/blob.h"

#include "brush/page_brush.h"

namespace plr {

bool createBlobFromImage(PageBrush& page, std::int32_t layerIndex, std::int32_t mode) noexcept {
    LayerRecord* layer = page.pageLayer(layerIndex);
    if (!layer) return false;
    std::uint16_t* px = layer->pixels.data();
    const std::size_t n = page.pixelCount();
    for (std::size_t i = 0; i < n; ++i, px += 4) {
        const std::int32_t lum = (std::int32_t{px[0]} + px[1] + px[2]) / 3;
        if (mode != 1) {
            px[0] = px[1] = px[2] = 32767;
        } else if (lum >= 32767) {
            const double k = (lum - 32767) / 65534.0;
            for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint16_t>(px[c] - px[c] * k);
        } else {
            const double k = (32767 - lum) / 65534.0;
            for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint16_t>(px[c] + (65535 - px[c]) * k);
        }
        if (px[3] > 8191) px[3] = static_cast<std::uint16_t>(lum * 0.843 + 10239);
    }
    return true;
}

}  // namespace plr
