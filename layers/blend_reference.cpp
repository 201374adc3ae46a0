// The blend operation pixel by pixel, one branch per rule in the order the
// rules apply: the reference the fast path is tested against.
#include "layers/blend_pixel.h"
#include "layers/blend_request.h"

namespace plr {

void blendReference(const BlendRequest& rq) noexcept {
    if (!rq.source || !rq.destination || rq.width <= 0 || rq.height <= 0) return;
    const Stage1Settings st = stage1SettingsOf(rq);
    for (std::int32_t j = 0; j < rq.height; ++j) {
        for (std::int32_t i = 0; i < rq.width; ++i) {
            const std::ptrdiff_t s = static_cast<std::ptrdiff_t>(rq.sourceY + j) * rq.sourceRowValues +
                                     static_cast<std::ptrdiff_t>(rq.sourceX + i) * 4;
            const std::ptrdiff_t d = static_cast<std::ptrdiff_t>(rq.destY + j) * rq.destRowValues +
                                     static_cast<std::ptrdiff_t>(rq.destX + i) * 4;
            const SourcePixel p = stage1(rq.source + s, st.layerMask ? rq.mask + s : nullptr, st);
            if (p.skip) continue;
            stage2Reference(p, rq.destination + d, rq.alphaLock);
        }
    }
}

}  // namespace plr
