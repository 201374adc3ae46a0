// Shapes, gradients and text on the current layer, and the font choice.
#include "api/export.h"
#include "engine/shape_drawing.h"
#include "engine/text_drawing.h"

using namespace plr;

namespace {
std::uint8_t byteOf(int32_t v) noexcept { return static_cast<std::uint8_t>(v); }
}  // namespace

extern "C" {

void PLR_IPLRectangle(int32_t red, int32_t green, int32_t blue, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      int32_t opacity) noexcept {
    guardedExport<exported::PLR_IPLRectangle>(
        [&] { drawRectangle(page(), byteOf(red), byteOf(green), byteOf(blue), x1, y1, x2, y2, opacity); });
}

void PLR_IPLEllipse(int32_t red, int32_t green, int32_t blue, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                    int32_t opacity) noexcept {
    guardedExport<exported::PLR_IPLEllipse>(
        [&] { drawEllipse(page(), byteOf(red), byteOf(green), byteOf(blue), x1, y1, x2, y2, opacity); });
}

void PLR_IPLGradient(int32_t red1, int32_t green1, int32_t blue1, int32_t red2, int32_t green2, int32_t blue2,
                     int32_t red3, int32_t green3, int32_t blue3, int32_t red4, int32_t green4, int32_t blue4,
                     int32_t count, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const char* kind) noexcept {
    const int32_t rgb[12] = {red1, green1, blue1, red2, green2, blue2, red3, green3, blue3, red4, green4, blue4};
    guardedExport<exported::PLR_IPLGradient>([&] { drawGradient(page(), rgb, count, x1, y1, x2, y2, kind); });
}

// Returns the dialog's answer; its errors are reported as "Font Err: ..." texts, not by a guard.
int32_t PLR_ChooseFont(void) noexcept {
    try {
        return chooseFont(engine());
    } catch (...) {
        return 0;
    }
}

void PLR_IPLText(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y, int32_t /*unused1*/,
                 int32_t /*unused2*/, int32_t /*unused3*/, int32_t /*unused4*/, const char* text,
                 int32_t smooth) noexcept {
    // No last-error text of its own: a failure leaves the layer as it was.
    try {
        drawText(engine(), byteOf(red), byteOf(green), byteOf(blue), x, y, text, (smooth & 0xFF) != 0);
    } catch (...) {
    }
}

}  // extern "C"
