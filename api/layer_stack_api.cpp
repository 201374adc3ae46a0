// Layer slots: create, delete, select, count, options, swap, copy, extents,
// and the layer merges.
#include "api/export.h"
#include "layers/layer_merge.h"
#include "layers/legacy_load.h"
#include "layers/layer_options.h"
#include "history/layer_table.h"

using namespace plr;

extern "C" {

int32_t PLR_CreateLayer(int32_t index, int32_t width, int32_t height) noexcept {
    return createLayer(page(), index, width, height);
}

void PLR_DeleteLayer(int32_t index) noexcept { deleteLayer(page(), index); }

void PLR_SetLayer(int32_t index) noexcept {
    guardedExport<exported::PLR_SetLayer>([&] { setLayer(page(), index); });
}

int32_t PLR_GetLayerCount(void) noexcept { return layerCount(page()); }

void PLR_SetLayerOptions(int32_t index, int32_t visible, int32_t alphaLock, int32_t opacityPercent,
                         const char* modeName) noexcept {
    guardedExport<exported::PLR_SetLayerOptions>([&] { setLayerOptions(page(), index, visible, alphaLock, opacityPercent, modeName); });
}

void PLR_SwapLayers(int32_t indexA, int32_t indexB) noexcept { swapLayers(page(), indexA, indexB); }

void PLR_CopyLayerData(int32_t fromIndex, int32_t toIndex) noexcept {
    guardedExport<exported::PLR_CopyLayerData>([&] { copyLayerData(page(), fromIndex, toIndex); });
}

void PLR_FindDataExtentsLayer(int32_t index, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) noexcept {
    guardedExport<exported::PLR_FindDataExtentsLayer>([&] {
        Rect e{};
        if (!findDataExtents(page(), index, e)) return;
        // The host reads inclusive edges, and (width, height, 0, 0) for a
        // layer without data.
        const bool none = e.empty();
        if (left) *left = none ? page().width : e.left;
        if (top) *top = none ? page().height : e.top;
        if (right) *right = none ? 0 : e.lastColumn();
        if (bottom) *bottom = none ? 0 : e.lastRow();
    });
}

void PLR_MergeLayer(int32_t fromIndex, int32_t toIndex) noexcept {
    guardedExport<exported::PLR_MergeLayer>([&] { mergeLayer(page(), fromIndex, toIndex); });
}

void PLR_MergeLayerIntoRect(int32_t index, uint16_t* destination, int32_t x, int32_t y, int32_t width,
                            int32_t height) noexcept {
    guardedExport<exported::PLR_MergeLayerIntoRect>([&] { mergeLayerIntoRect(page(), index, destination, x, y, width, height); });
}

void PLR_MergeLayerInto(int32_t index, uint16_t* destination) noexcept {
    guardedExport<exported::PLR_MergeLayerInto>([&] { mergeLayerIntoRect(page(), index, destination, 0, 0, page().width, page().height); });
}

void PLR_MergeRect(uint16_t* destination, int32_t x, int32_t y, int32_t width, int32_t height) noexcept {
    guardedExport<exported::PLR_MergeRect>([&] { mergeRect(page(), destination, x, y, width, height); });
}

void PLR_Merge(uint16_t* destination) noexcept {
    guardedExport<exported::PLR_Merge>([&] { mergeRect(page(), destination, 0, 0, page().width, page().height); });
}

void PLR_LoadRGBA32Layer_BAD(uint8_t* source, int32_t, int32_t index, int32_t maskStride, int32_t count,
                             int32_t adjust) noexcept {
    guardedExport<exported::PLR_LoadRGBA32Layer_BAD>([&] { loadRGBA32LayerLegacy(page(), source, index, maskStride, count, adjust); });
}

}  // extern "C"
