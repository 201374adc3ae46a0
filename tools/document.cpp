#include "document.h"

#include <vector>

#include "paloran.h"

namespace plr::host {
namespace {

// A canvas-weave grain for the paper layer: light with darker threads, so
// chalk catches on the ridges. Deterministic (no engine randomness used).
std::vector<std::uint8_t> paperGrain(int w, int h) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    std::uint32_t state = 0x2545F491u;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>(state >> 27);  // 0..31
            const int weave = ((x % 6) < 2 ? 60 : 0) + ((y % 6) < 2 ? 60 : 0);
            int v = 235 - weave - noise;
            v = v < 0 ? 0 : v;
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(v);
            p[3] = 255;
        }
    return rgba;
}

// A faint grid for the tracing slot.
std::vector<std::uint8_t> tracingGrid(int w, int h) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * w + x) * 4];
            const bool line = x % 40 == 0 || y % 40 == 0;
            p[0] = line ? 40 : 255;
            p[1] = line ? 90 : 255;
            p[2] = line ? 200 : 255;
            p[3] = 255;
        }
    return rgba;
}

}  // namespace

bool createDocument(const DocumentOptions& o, std::string& error) {
    PLR_SetRandomSeed(o.seed);
    PLR_SetLastError("");
    PLR_CreateImage(nullptr, o.width, o.height, kMaxBrushSize, 0);
    const int slots[] = {kTraceSlot, kBackgroundSlot, kPaintSlot, kGlazeSlot, kStencilSlot, kPaperSlot};
    for (int s : slots)
        if (!PLR_CreateLayer(s, o.width, o.height)) {
            error = std::string("cannot create layer ") + std::to_string(s) + ": " + PLR_GetLastError();
            return false;
        }
    const std::vector<std::uint8_t> grid = tracingGrid(o.width, o.height);
    PLR_LoadRGBA32Layer(grid.data(), o.width * 4, kTraceSlot, 0, 0, o.width, o.height, 0);
    const std::vector<std::uint8_t> grain = paperGrain(o.width, o.height);
    PLR_LoadRGBA32Layer(grain.data(), o.width * 4, kPaperSlot, 0, 0, o.width, o.height, 0);

    PLR_SetLayerOptions(kBackgroundSlot, 1, 0, 100, "Normal");
    PLR_SetLayerOptions(kPaintSlot, 1, 0, 100, "Normal");
    PLR_SetLayerOptions(kGlazeSlot, 1, 0, 85, "Multiply");
    PLR_SetLayerOptions(kStencilSlot, 1, 0, 100, "Layer Mask");
    PLR_SetLayerOptions(kPaperSlot, 0, 0, 100, "Texturize3");
    PLR_SetUndoLevels(50);
    PLR_SetUndoMB(256);
    PLR_SetLayer(kPaintSlot);
    return true;
}

void deleteDocument() { PLR_DeleteImage(); }

void setPaperVisible(bool visible) { PLR_SetLayerOptions(kPaperSlot, visible ? 1 : 0, 0, 100, "Texturize3"); }

}  // namespace plr::host
