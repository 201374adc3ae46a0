#include "layers/blend_bands.h"

#include "core/parallel_rows.h"

namespace plr {

// About 64 K pixels a band at least: below that, waking a thread costs more
// than the band.
void blendInBands(const BlendRequest& rq) noexcept {
    if (rq.width <= 0 || rq.height <= 0) return;
    const std::int32_t minRows = static_cast<std::int32_t>(1 + 65536 / rq.width);
    parallelRows(rq.height, minRows, [&rq](std::int32_t y0, std::int32_t y1) {
        BlendRequest band = rq;
        band.sourceY = rq.sourceY + y0;
        band.destY = rq.destY + y0;
        band.height = y1 - y0;
        blend(band);
    });
}

}  // namespace plr
