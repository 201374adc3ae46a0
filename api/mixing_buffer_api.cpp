// The mixing buffer: pick-ups from the page, tint, clear, fill and filters.
#include "api/export.h"
#include "brush/mixing_buffer.h"

using namespace plr;

namespace {

void copyFrom(const char* name, const std::uint16_t* (*source)(Page&), int32_t x, int32_t y, int32_t amount,
              int32_t keep) noexcept {
    guardedVoid(name, [&] {
        Page& p = page();
        copyPickup(p, x, y, source(p), amount, keep);
    });
}
void mixFrom(const char* name, const std::uint16_t* (*source)(Page&), int32_t x, int32_t y, int32_t amount) noexcept {
    guardedVoid(name, [&] {
        Page& p = page();
        mixPickup(p, x, y, source(p), amount);
    });
}

}  // namespace

extern "C" {

void PLR_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* source, int32_t amount, int32_t keep) noexcept {
    guardedVoid("DoCopyBlendBuffer", [&] { copyPickup(page(), x, y, source, amount, keep); });
}
void PLR_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t keep) noexcept {
    copyFrom("CopyBlendBufferSurface", surfaceSource, x, y, amount, keep);
}
void PLR_CopyBlendBufferLayer(int32_t layerIndex, int32_t x, int32_t y, int32_t amount) noexcept {
    guardedVoid("CopyBlendBufferLayer", [&] {
        Page& p = page();
        copyPickup(p, x, y, layerSource(p, layerIndex), amount, 0);
    });
}
// One operation under two names.
void PLR_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) noexcept {
    copyFrom("CopyBlendBufferUnderLayer", underLayerSource, x, y, amount, 0);
}
void PLR_CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount) noexcept {
    PLR_CopyBlendBufferUnderLayer(x, y, amount);
}
void PLR_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount) noexcept {
    copyFrom("CopyBlendBufferTrace", traceSource, x, y, amount, 0);
}
void PLR_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount) noexcept {
    guardedVoid("DoCopyBlendBufferMask", [&] { maskPickup(page(), x, y, amount); });
}

void PLR_DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* source, int32_t amount) noexcept {
    guardedVoid("DoMixBlendBuffer", [&] { mixPickup(page(), x, y, source, amount); });
}
void PLR_MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount) noexcept {
    mixFrom("MixBlendBufferSurface", surfaceSource, x, y, amount);
}
void PLR_MixBlendBufferLayer(int32_t layerIndex, int32_t x, int32_t y, int32_t amount) noexcept {
    guardedVoid("MixBlendBufferLayer", [&] {
        Page& p = page();
        mixPickup(p, x, y, layerSource(p, layerIndex), amount);
    });
}
// One operation under two names.
void PLR_MixBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) noexcept {
    mixFrom("MixBlendBufferUnderLayer", underLayerSource, x, y, amount);
}
void PLR_MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount) noexcept {
    PLR_MixBlendBufferUnderLayer(x, y, amount);
}
void PLR_MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount) noexcept {
    mixFrom("MixBlendBufferTrace", traceSource, x, y, amount);
}

void PLR_DoColorBlendBuffer(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue, int32_t /*reserved*/,
                            int32_t amount) noexcept {
    guardedVoid("DoColorBlendBuffer", [&] { tintBuffer(page(), x, y, red, green, blue, amount); });
}
void PLR_ClearBlendBuffer(void) noexcept {
    guardedVoid("ClearBlendBuffer", [&] { clearBuffer(page()); });
}
void PLR_FillBlendBuffer(int32_t, int32_t, int32_t, int32_t fill) noexcept {
    guardedVoid("FillBlendBuffer", [&] { fillBuffer(page(), static_cast<uint8_t>(fill)); });
}
void PLR_FilterBlendBuffer(int32_t kind, int32_t levelPercent) noexcept {
    guardedVoid("FilterBlendBuffer", [&] { filterBuffer(page(), kind, levelPercent); });
}

}  // extern "C"
