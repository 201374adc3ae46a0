// The processing buffers the filters read and write, taken and released by
// the host around filter work.
#include "api/export.h"
#include "engine/page_buffers.h"

using namespace plr;

extern "C" {

void PLR_IPLAllocSrcBuffer32(void) noexcept {
    guardedExport<exported::PLR_IPLAllocSrcBuffer32>([] { allocSrcBuffer32(page()); });
}
int32_t PLR_IPLUpdateSrcBuffer32(void) noexcept { return updateSrcBuffer32(page()) ? 1 : 0; }
void PLR_IPLSetSrcBuffer32(const uint8_t* image) noexcept { setSrcBuffer32(page(), image); }
void PLR_IPLFreeSrcBuffer32(void) noexcept {
    guardedExport<exported::PLR_IPLFreeSrcBuffer32>([] { page().processing.src32.reset(); });
}

void PLR_IPLAllocDstBuffer32(void) noexcept {
    guardedExport<exported::PLR_IPLAllocDstBuffer32>([] { allocDstBuffer32(page()); });
}
void PLR_IPLSetDstBuffer32(const uint8_t* image) noexcept { setDstBuffer32(page(), image); }
void PLR_IPLFreeDstBuffer32(void) noexcept {
    guardedExport<exported::PLR_IPLFreeDstBuffer32>([] { page().processing.dst32.reset(); });
}

void PLR_IPLAllocSrcBuffer24(void) noexcept {
    guardedExport<exported::PLR_IPLAllocSrcBuffer24>([] { allocSrcBuffer24(page()); });
}
void PLR_IPLFreeSrcBuffer24(void) noexcept {
    guardedExport<exported::PLR_IPLFreeSrcBuffer24>([] { page().processing.src24.reset(); });
}
void PLR_IPLAllocDstBuffer24(void) noexcept {
    guardedExport<exported::PLR_IPLAllocDstBuffer24>([] { allocDstBuffer24(page()); });
}
void PLR_IPLFreeDstBuffer24(void) noexcept {
    guardedExport<exported::PLR_IPLFreeDstBuffer24>([] { page().processing.dst24.reset(); });
}

void PLR_ApplyMaskToAlpha_IPLSrcRGBA(void) noexcept { applyMaskToSrcBufferAlpha(page()); }

}  // extern "C"
