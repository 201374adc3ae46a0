// The mixing buffer: pick-ups from the page, tint, clear, fill and filters.
#include "api/export.h"
#include "brush/mixing_buffer.h"

using namespace plr;

namespace {

template <class Export>
void copyFrom(const std::uint16_t* (*source)(PageBrush&) noexcept, int32_t x, int32_t y, int32_t amount, int32_t keep) noexcept {
    guardedExport<Export>([&] {
        Page& p = page();
        copyPickup(p, x, y, source(p), amount, keep);
    });
}
template <class Export>
void mixFrom(const std::uint16_t* (*source)(PageBrush&) noexcept, int32_t x, int32_t y, int32_t amount) noexcept {
    guardedExport<Export>([&] {
        Page& p = page();
        mixPickup(p, x, y, source(p), amount);
    });
}

}  // namespace

extern "C" {

void PLR_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* source, int32_t amount, int32_t keep) noexcept {
    guardedExport<exported::PLR_DoCopyBlendBuffer>([&] { copyPickup(page(), x, y, source, amount, keep); });
}
void PLR_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t keep) noexcept {
    copyFrom<exported::PLR_CopyBlendBufferSurface>(surfaceSource, x, y, amount, keep);
}
void PLR_CopyBlendBufferLayer(int32_t layerIndex, int32_t x, int32_t y, int32_t amount) noexcept {
    guardedExport<exported::PLR_CopyBlendBufferLayer>([&] {
        Page& p = page();
        copyPickup(p, x, y, layerSource(p, layerIndex), amount, 0);
    });
}
// One operation under two names.
void PLR_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) noexcept {
    copyFrom<exported::PLR_CopyBlendBufferUnderLayer>(underLayerSource, x, y, amount, 0);
}
void PLR_CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount) noexcept {
    PLR_CopyBlendBufferUnderLayer(x, y, amount);
}
void PLR_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount) noexcept {
    copyFrom<exported::PLR_CopyBlendBufferTrace>(traceSource, x, y, amount, 0);
}
void PLR_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount) noexcept {
    guardedExport<exported::PLR_DoCopyBlendBufferMask>([&] { maskPickup(page(), x, y, amount); });
}

void PLR_DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* source, int32_t amount) noexcept {
    guardedExport<exported::PLR_DoMixBlendBuffer>([&] { mixPickup(page(), x, y, source, amount); });
}
void PLR_MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount) noexcept {
    mixFrom<exported::PLR_MixBlendBufferSurface>(surfaceSource, x, y, amount);
}
void PLR_MixBlendBufferLayer(int32_t layerIndex, int32_t x, int32_t y, int32_t amount) noexcept {
    guardedExport<exported::PLR_MixBlendBufferLayer>([&] {
        Page& p = page();
        mixPickup(p, x, y, layerSource(p, layerIndex), amount);
    });
}
// One operation under two names.
void PLR_MixBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) noexcept {
    mixFrom<exported::PLR_MixBlendBufferUnderLayer>(underLayerSource, x, y, amount);
}
void PLR_MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount) noexcept {
    PLR_MixBlendBufferUnderLayer(x, y, amount);
}
void PLR_MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount) noexcept {
    mixFrom<exported::PLR_MixBlendBufferTrace>(traceSource, x, y, amount);
}

void PLR_DoColorBlendBuffer(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue, int32_t /*reserved*/,
                            int32_t amount) noexcept {
    guardedExport<exported::PLR_DoColorBlendBuffer>([&] { tintBuffer(page(), x, y, red, green, blue, amount); });
}
void PLR_ClearBlendBuffer(void) noexcept {
    guardedExport<exported::PLR_ClearBlendBuffer>([&] { clearBuffer(page()); });
}
void PLR_FillBlendBuffer(int32_t, int32_t, int32_t, int32_t fill) noexcept {
    guardedExport<exported::PLR_FillBlendBuffer>([&] { fillBuffer(page(), static_cast<uint8_t>(fill)); });
}
void PLR_FilterBlendBuffer(int32_t kind, int32_t levelPercent) noexcept {
    guardedExport<exported::PLR_FilterBlendBuffer>([&] { filterBuffer(page(), kind, levelPercent); });
}

}  // extern "C"
