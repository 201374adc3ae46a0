#include "adapters/imaging/bitmap.h"
#include "core/failure.h"
#include "engine/devices.h"
#include "engine/engine.h"
#include "platform/scanner.h"

namespace plr {

bool scannerReady() { return platform::scannerAvailable(); }

bool selectScanner(EngineState& e) {
    std::string source;
    if (!platform::selectScannerSource(e.page.ownerWindow, source)) return false;
    devices().scannerSource = source;
    return true;
}

bool acquireScan(EngineState& e) {
    bool converted = false;
    platform::acquireScannedPicture(e.page.ownerWindow, devices().scannerSource, [&](const void* dib) {
        const std::int32_t width = imaging_lib::DIBWidth(dib);
        const std::int32_t height = imaging_lib::DIBHeight(dib);
        if (width <= 0 || height <= 0) return;
        need(createTransferImage(e.transfer, width, height));
        converted = imaging_lib::DIBToRGBA(dib, 255, e.transfer.rgba.data()) != 0;
        if (!converted) e.transfer.rgba.reset();
    });
    return converted;
}

}  // namespace plr
