// The transfer image: freeing it, reading it out, placing it in the current
// layer. Every read-out does nothing while there is no transfer image.
#include "api/export.h"
#include "core/failure.h"
#include "engine/page_files.h"
#include "exchange/transfer_image.h"

using namespace plr;

extern "C" {

void PLR_DeleteNewRGBA(void) noexcept {
    guardedExport<exported::PLR_DeleteNewRGBA>([] { engine().transfer.rgba.reset(); });
}

int32_t PLR_IsNewRGBA32Transparent(void) noexcept {
    return transferImageTransparent(engine().transfer) ? 1 : 0;
}

void PLR_SetInNewRGBA(void) noexcept {
    guardedExport<exported::PLR_SetInNewRGBA>([] { setTransferInCurrentLayer(engine()); });
}

void PLR_GetNewRGBA32(uint8_t* destination) noexcept {
    copyTransferRGBA32(engine().transfer, destination);
}

void PLR_GetNewRGBA24(uint8_t* destination) noexcept {
    copyTransferRGB24(engine().transfer, destination);
}

void PLR_GetResizedNewRGBA24(uint8_t* destination, int32_t width, int32_t height) noexcept {
    guardedExport<exported::PLR_GetResizedNewRGBA24>([&] {
        const TransferImage& t = engine().transfer;
        // Only memory can fail once the transfer image and the size are sound.
        if (t.present() && destination && width > 0 && height > 0)
            need(copyTransferResizedRGB24(t, destination, width, height));
    });
}

}  // extern "C"
