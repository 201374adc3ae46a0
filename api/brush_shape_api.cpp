// Brush shapes, the paper texture and blobs.
#include "api/export.h"
#include "brush/blob.h"
#include "brush/brush_shape.h"
#include "layers/paper_texture.h"

using namespace plr;

extern "C" {

void PLR_SetBrushShape(const char* path, int32_t angle) noexcept {
    setBrushShapeGuarded(page(), path, angle, ShapeBuilder::Current);
}
void PLR_SetBrushShape_ORIGINAL(const char* path, int32_t angle) noexcept {
    setBrushShapeGuarded(page(), path, angle, ShapeBuilder::Original);
}
uint8_t* PLR_CreateTexture(int32_t layerIndex) noexcept { return createTexture(page(), layerIndex); }
void PLR_DeleteTexture(void) noexcept { deleteTexture(page()); }
void PLR_CreateBlobFromImage(int32_t layerIndex, int32_t mode) noexcept {
    guardedExport<exported::PLR_CreateBlobFromImage>([&] { createBlobFromImage(page(), layerIndex, mode); });
}

}  // extern "C"
