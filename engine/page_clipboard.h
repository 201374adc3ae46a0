#pragma once
// Copy and paste through the system clipboard (platform/clipboard.h) and
// screen capture: pictures leave as DIBs of the current layer or a host
// buffer, cut by the mask where asked, and arrive in the transfer image,
// from which the "into" operations place them into the current layer.
#include <cstdint>

#include "exchange/formats/image_formats.h"

namespace plr {

struct EngineState;

// Puts width x height packed RGBA32 pixels on the clipboard as a 32-bit DIB.
// False when the clipboard did not take it. Raises EngineFailure when the
// block cannot be had.
bool putPictureOnClipboard(const std::uint8_t* rgba, std::int32_t width, std::int32_t height);
// The clipboard's DIB decoded into `out`. False when the clipboard holds
// none or it is malformed (`out` empty); raises EngineFailure when the
// picture's memory cannot be had.
bool readClipboardPicture(formats::RgbaImage& out);

// The current layer (all of it, or the rectangle (x0, y0)-(x1, y1), right
// and bottom edges excluded), its alpha cut by the mask when the mask is on.
void copyLayerToClipboard(EngineState& engine);
void copyLayerRectToClipboard(EngineState& engine, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
// A host buffer standing for the page rectangle (x, y, width, height); with
// `applyMask` and the mask on, the buffer's alpha is cut by the mask first.
void copyBufferToClipboard(EngineState& engine, std::uint8_t* rgba, std::int32_t x, std::int32_t y,
                           std::int32_t width, std::int32_t height, bool applyMask);

// The clipboard's picture becomes the transfer image; false (transfer image
// untouched) without one.
bool pasteIntoTransfer(EngineState& engine);
// The clipboard's picture laid into the current layer at (x, y) (its centre
// there when `centred`), through the mask and the paper texture. True when
// a picture was read and the current layer exists.
bool pasteInto(EngineState& engine, std::int32_t x, std::int32_t y, bool centred);

// How the extended pastes scale, turn and blend.
enum class PlacedPaste {
    ByScale,     // scale factor; bicubic or nearest; any non-zero angle turns
    BySize,      // longer side given; 0 and 360 degrees do not turn; opacity used
    BySize1602,  // as BySize, smooth scaling always bicubic, full opacity
};
struct Placement {
    std::int32_t x = 0, y = 0;
    double scale = 1.0;     // ByScale
    std::int32_t size = 0;  // BySize*
    std::int32_t angle = 0;
    bool centred = false, smooth = false;
    std::int32_t opacity = 255;
};
// The clipboard's picture scaled, turned, clipped to the page and blended
// (Normal) into the current layer through the mask and the paper texture.
void pastePlaced(EngineState& engine, PlacedPaste kind, const Placement& placement);

// The clipboard's picture written to a file by the RGBA32 writers; the
// transfer image is deleted after. True when written.
bool pasteToFile(EngineState& engine, const char* path, const char* extension, std::int32_t dpi);
// A picture file put on the clipboard (no mask); the transfer image is
// deleted after. True when the clipboard took it.
bool copyFileToClipboard(EngineState& engine, const char* path);

// The screen into the transfer image (alpha 255); into the current layer at
// (0, 0) through the mask and the paper texture, the transfer image deleted.
bool captureScreenToTransfer(EngineState& engine);
bool captureScreenIntoLayer(EngineState& engine);

// Picture helpers the image brushes share. Each replaces `picture` by the
// result; false (picture kept) when a size is refused. Raise EngineFailure
// when memory runs out.
enum class ResizeMethod { Nearest, Bicubic, Lanczos };
bool resizePicture(formats::RgbaImage& picture, std::int32_t width, std::int32_t height, ResizeMethod method);
// Colour multiplied by alpha around a smooth resize, divided out after.
bool resizePicturePremultiplied(formats::RgbaImage& picture, std::int32_t width, std::int32_t height,
                                ResizeMethod method);
// The new size for a factor: max(1, trunc(factor x side)); false for a factor
// that is not finite or a size beyond the picture cap.
bool scaledSize(double factor, std::int32_t width, std::int32_t height, std::int32_t& outWidth,
                std::int32_t& outHeight) noexcept;
// `picture` drawn onto a zeroed width x height canvas at (x, y), clipped.
bool placeOnCanvas(formats::RgbaImage& picture, std::int32_t width, std::int32_t height, std::int32_t x, std::int32_t y);

}  // namespace plr
