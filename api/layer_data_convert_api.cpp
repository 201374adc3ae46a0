// Layer pixel data: host buffer conversions, clearing and fills. Results: 1
// when done, 0 when refused (null buffer, negative size, no current layer of
// the page's size) or failed.
#include "api/export.h"
#include "core/buffer_convert.h"
#include "layers/layer_clear.h"
#include "engine/page.h"

using namespace plr;

namespace {
uint8_t byteOf(int32_t v) noexcept { return static_cast<uint8_t>(v); }
uint16_t valueOf(int32_t v) noexcept { return static_cast<uint16_t>(v); }
const uint8_t* bytes(const void* p) noexcept { return static_cast<const uint8_t*>(p); }
}  // namespace

extern "C" {

int32_t PLR_RGBA64RectToRGBA32(const void* source, int32_t x, int32_t y, int32_t width, int32_t height,
                               int32_t sourceRowPixels, int32_t /*unused*/, uint8_t* destination) noexcept {
    return guardedExport<exported::PLR_RGBA64RectToRGBA32>([&] {
        return convertRGBA64Rect(Narrow::RGBA32, bytes(source), x, y, width, height, sourceRowPixels, destination);
    });
}

int32_t PLR_RGBA64RectToRGBA24(const void* source, int32_t x, int32_t y, int32_t width, int32_t height,
                               int32_t sourceRowPixels, int32_t /*unused*/, uint8_t* destination) noexcept {
    return guardedExport<exported::PLR_RGBA64RectToRGBA24>([&] {
        return convertRGBA64Rect(Narrow::RGB24, bytes(source), x, y, width, height, sourceRowPixels, destination);
    });
}

// x and y only name the block's place for the caller; both pointers already
// point at its first pixel.
int32_t PLR_GetRGBA32FromRGBA64Rect(uint8_t* destination, int32_t destinationStride, const void* source,
                                    int32_t sourceStride, int32_t /*x*/, int32_t /*y*/, int32_t width,
                                    int32_t height) noexcept {
    return guardedExport<exported::PLR_GetRGBA32FromRGBA64Rect>([&] {
        return convertRGBA64Block(Narrow::RGBA32, bytes(source), sourceStride, destination, destinationStride, width,
                                  height);
    });
}

int32_t PLR_GetRGB24FromRGBA64Rect(uint8_t* destination, int32_t destinationStride, const void* source,
                                   int32_t sourceStride, int32_t /*x*/, int32_t /*y*/, int32_t width,
                                   int32_t height) noexcept {
    return guardedExport<exported::PLR_GetRGB24FromRGBA64Rect>([&] {
        return convertRGBA64Block(Narrow::RGB24, bytes(source), sourceStride, destination, destinationStride, width,
                                  height);
    });
}

int32_t PLR_GetRGBA32FromRGBA64(uint8_t* destination, int32_t destinationStride, int32_t width, int32_t height,
                                const void* source, int32_t sourceStride) noexcept {
    return guardedExport<exported::PLR_GetRGBA32FromRGBA64>([&] {
        return convertRGBA64Block(Narrow::RGBA32, bytes(source), sourceStride, destination, destinationStride, width,
                                  height);
    });
}

int32_t PLR_GetRGB24FromRGBA64(uint8_t* destination, int32_t destinationStride, const void* source,
                               int32_t sourceStride) noexcept {
    return guardedExport<exported::PLR_GetRGB24FromRGBA64>([&] {
        return page().pixelCount() > 0 && convertRGBA64Block(Narrow::RGB24, bytes(source), sourceStride, destination,
                                                             destinationStride, page().width, page().height);
    });
}

int32_t PLR_Clear(int32_t red, int32_t green, int32_t blue, int32_t alpha) noexcept {
    return guardedExport<exported::PLR_Clear>([&] { return clearLayer(page(), byteOf(red), byteOf(green), byteOf(blue), byteOf(alpha)); });
}

int32_t PLR_ClearMasked(int32_t red, int32_t green, int32_t blue, int32_t alpha) noexcept {
    return guardedExport<exported::PLR_ClearMasked>([&] {
        if (!page().currentPageLayer() || page().pixelCount() == 0) return false;
        clearMasked(page(), byteOf(red), byteOf(green), byteOf(blue), byteOf(alpha));
        return true;
    });
}

int32_t PLR_ClearMaskedAlpha(int32_t red, int32_t green, int32_t blue, int32_t alpha) noexcept {
    return guardedExport<exported::PLR_ClearMaskedAlpha>([&] { return clearMaskedAlpha(page(), byteOf(red), byteOf(green), byteOf(blue), byteOf(alpha)); });
}

// Page-sized (0 on a page without pixels).
int32_t PLR_ClearRGBA64(void* buffer, int32_t stride, int32_t red, int32_t green, int32_t blue,
                        int32_t alpha) noexcept {
    return guardedExport<exported::PLR_ClearRGBA64>([&] {
        return page().pixelCount() > 0 && fillRGBA64(static_cast<uint8_t*>(buffer), stride, page().width, page().height,
                                                     valueOf(red), valueOf(green), valueOf(blue), valueOf(alpha));
    });
}

// Page-sized (0 on a page without pixels).
int32_t PLR_ClearRGBA32(uint8_t* buffer, int32_t stride, int32_t red, int32_t green, int32_t blue,
                        int32_t alpha) noexcept {
    return guardedExport<exported::PLR_ClearRGBA32>([&] {
        return page().pixelCount() > 0 && fillRGBA32(buffer, stride, page().width, page().height, byteOf(red),
                                                     byteOf(green), byteOf(blue), byteOf(alpha));
    });
}

// Packed width x height.
int32_t PLR_ClearRGBA32Buf(uint8_t* buffer, int32_t width, int32_t height, int32_t red, int32_t green, int32_t blue,
                           int32_t alpha) noexcept {
    return guardedExport<exported::PLR_ClearRGBA32Buf>([&] {
        const int64_t stride = int64_t{width} * 4;
        if (stride > INT32_MAX) return false;
        return fillRGBA32(buffer, static_cast<int32_t>(stride), width, height, byteOf(red), byteOf(green), byteOf(blue),
                          byteOf(alpha));
    });
}

}  // extern "C"
