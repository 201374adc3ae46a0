// Image brushes: loading, colouring, sizing, turning and blending the brush
// picture into the mixing buffer, saving it, and taking it from the clipboard.
#include "api/export.h"
#include "engine/image_brush.h"

using namespace plr;

extern "C" {

void PLR_LoadImageBrush(const char* path) noexcept {
    guardedExport<exported::PLR_LoadImageBrush>([&] { loadImageBrushFile(engine(), path); });
}

void PLR_LoadImageBrushArray(const char* path) noexcept {
    guardedExport<exported::PLR_LoadImageBrushArray>([&] { loadImageBrushStrip(engine(), path); });
}

void PLR_LoadImageBrushFromRGBA32(const uint8_t* pixels, int32_t width, int32_t height) noexcept {
    guardedExport<exported::PLR_LoadImageBrushFromRGBA32>(
        [&] { loadImageBrushRGBA32(engine(), pixels, width, height); });
}

void PLR_SaveImageBrush(const char* path) noexcept {
    guardedExport<exported::PLR_SaveImageBrush>([&] { saveImageBrush(engine(), path); });
}

void PLR_CopyToImageBrush(void) noexcept {
    guardedExport<exported::PLR_CopyToImageBrush>([] { copyMixingBufferToImageBrush(engine()); });
}

void PLR_CopyFromImageBrush(int32_t strength) noexcept {
    guardedExport<exported::PLR_CopyFromImageBrush>([&] { blendSizedImageBrush(engine(), strength); });
}

void PLR_CopyFromImageBrushArray(float position) noexcept {
    guardedExport<exported::PLR_CopyFromImageBrushArray>([&] { copyImageBrushFrame(engine(), position); });
}

void PLR_CopyFromImageBrushRotate(int32_t strength) noexcept {
    guardedExport<exported::PLR_CopyFromImageBrushRotate>([&] { blendRotatedImageBrush(engine(), strength); });
}

void PLR_ColorImageBrush(int32_t red, int32_t green, int32_t blue) noexcept {
    guardedExport<exported::PLR_ColorImageBrush>([&] { colourImageBrush(engine(), red, green, blue); });
}

void PLR_FillImageBrush(int32_t red, int32_t green, int32_t blue) noexcept {
    guardedExport<exported::PLR_FillImageBrush>([&] { fillImageBrush(engine(), red, green, blue); });
}

void PLR_RotateImageBrush(int32_t angle) noexcept {
    guardedExport<exported::PLR_RotateImageBrush>([&] { rotateImageBrush(engine(), angle); });
}

void PLR_SizeImageBrush(void) noexcept {
    guardedExport<exported::PLR_SizeImageBrush>([] { sizeImageBrush(engine()); });
}

void PLR_FromClipboardToImageBrush(int32_t edge) noexcept {
    guardedExport<exported::PLR_FromClipboardToImageBrush>([&] { imageBrushFromClipboard(engine(), edge); });
}

}  // extern "C"
