#include "layers/paper_texture.h"

#include "core/failure.h"
#include "core/export_failures.h"
#include "core/guard.h"
#include "layers/page_layers.h"

namespace plr {

std::uint8_t* createTexture(PageLayers& page, std::int32_t layerIndex) noexcept {
    return guardedExport<exported::PLR_CreateTexture>([&]() -> std::uint8_t* {
        const std::size_t n = page.pixelCount();
        if (page.texture.size() != n || page.texture.empty()) need(page.texture.allocate(n));
        const LayerRecord* layer = page.pageLayer(layerIndex);
        if (!layer) return page.texture.data();
        const std::uint16_t* px = layer->pixels.data();
        std::uint8_t* t = page.texture.data();
        for (std::size_t i = 0; i < n; ++i, px += 4) {
            const std::uint32_t v = (std::uint32_t{px[0]} + px[1] + px[2]) / 768;
            t[i] = static_cast<std::uint8_t>(v < 4 ? 4 : v > 250 ? 250 : v);
        }
        return t;
    });
}

void deleteTexture(PageLayers& page) noexcept { page.texture.reset(); }

}  // namespace plr
