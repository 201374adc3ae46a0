// Layer slots: create, delete, select, count.
#include "api/export.h"
#include "layers/layer_table.h"

using namespace plr;

extern "C" {

int32_t PLR_CreateLayer(int32_t index, int32_t width, int32_t height) noexcept {
    return createLayer(page(), index, width, height);
}

void PLR_DeleteLayer(int32_t index) noexcept { deleteLayer(page(), index); }

void PLR_SetLayer(int32_t index) noexcept {
    guardedVoid("SetLayer", [&] { setLayer(page(), index); });
}

int32_t PLR_GetLayerCount(void) noexcept { return layerCount(page()); }

}  // extern "C"
