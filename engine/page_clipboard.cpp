#include "engine/page_clipboard.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "adapters/imaging/bitmap.h"
#include "adapters/imaging/raster.h"
#include "adapters/imaging/raster_geometry.h"
#include "adapters/imaging/raster_resize.h"
#include "core/failure.h"
#include "core/sizes.h"
#include "engine/engine.h"
#include "engine/page_files.h"
#include "exchange/clipboard_dib.h"
#include "exchange/image_files.h"
#include "imaging/alpha_premultiply.h"
#include "imaging/mask_texture_adjust.h"
#include "layers/blend_bands.h"
#include "layers/blend_request.h"
#include "layers/layer_load.h"
#include "layers/layer_read.h"
#include "mask/mask_apply.h"
#include "platform/clipboard.h"
#include "platform/screen_capture.h"

namespace plr {
namespace {

using formats::RgbaImage;

// Degrees to radians as the turn is asked for: a 32-bit float.
constexpr double kRadiansPerDegree = 0.0174532925;
// _IS40_ResizeImage's filter for large smooth pastes: "Lanczos3".
constexpr std::int32_t kLanczosFilter = 8;

std::size_t pixelCount(const RgbaImage& p) noexcept {
    return static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height);
}

// A zeroed picture of the given size; raises when memory runs out.
bool zeroedPicture(RgbaImage& out, std::int32_t width, std::int32_t height) {
    if (!formats::allocateRgba(out, width, height)) {
        need(!out.outOfMemory);
        return false;
    }
    std::memset(out.pixels.data(), 0, out.pixels.size());
    return true;
}

// The current layer as page-sized RGBA32 (high bytes), its alpha cut by the
// mask when the mask is on. False without a page.
bool layerPicture(Page& page, Block<std::uint8_t>& out) {
    if (page.pixelCount() == 0) return false;
    need(out.allocate(saturatingProduct(page.pixelCount(), 4)));
    if (!readRGBA32(page, page.currentPageLayer(), out.data(), page.width * 4))
        std::memset(out.data(), 0, out.size());
    if (page.maskIfEnabled()) applyMaskToAlpha(page.maskPage(), out.data());
    return true;
}

struct DibSource {
    const std::uint8_t* rgba;
    std::int32_t width, height;
};

struct DibTarget {
    RgbaImage* picture;
};

bool writeDib(void* context, std::uint8_t* block, std::size_t bytes) {
    const auto& s = *static_cast<const DibSource*>(context);
    const std::int64_t dibBytes = imaging_lib::DIBBytes(s.width, s.height, 32);
    if (dibBytes <= 0 || static_cast<std::uint64_t>(dibBytes) > bytes) return false;
    return imaging_lib::RGBAToDIB(s.rgba, s.width, s.height, block) != 0;
}

void readDib(void* context, const std::uint8_t* dib, std::size_t bytes) {
    auto& t = *static_cast<DibTarget*>(context);
    (void)decodeClipboardDib(dib, bytes, *t.picture);
}

// Blends the picture into the current layer with its top-left at page
// (x, y): mask and texture folded into its alpha, then the Normal layer
// blend at `opacity` (0..255 of 256; 255 is full), the layer's alpha lock
// kept. Only the part on the page takes part.
void blendPictureIntoLayer(Page& page, RgbaImage& picture, std::int32_t x, std::int32_t y, std::int32_t opacity) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || picture.pixels.empty()) return;
    const std::int32_t left = std::max(x, 0), top = std::max(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + picture.width, page.width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + picture.height, page.height);
    if (right <= left || bottom <= top) return;  // wholly off the page
    const auto w = static_cast<std::int32_t>(right - left), h = static_cast<std::int32_t>(bottom - top);
    adjustRGBA32RectByMaskAndTexture(page.coverage(), picture.pixels.data(), x, y, picture.width, picture.height);
    Block<std::uint16_t> wide;
    need(wide.allocate(saturatingProduct(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h), 4)));
    for (std::int32_t row = 0; row < h; ++row) {
        const std::uint8_t* s = picture.pixels.data() +
                                ((static_cast<std::size_t>(top - y + row) * static_cast<std::size_t>(picture.width)) +
                                 static_cast<std::size_t>(left - x)) * 4;
        std::uint16_t* d = wide.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(w) * 4;
        for (std::int32_t i = 0; i < w * 4; ++i) d[i] = static_cast<std::uint16_t>(s[i] << 8);
    }
    BlendRequest rq;
    rq.source = wide.data();
    rq.width = w;
    rq.height = h;
    rq.sourceRowValues = w * 4;
    rq.destination = layer->pixels.data();
    rq.destX = left;
    rq.destY = top;
    rq.destRowValues = page.rowValues;
    rq.mode = 0;
    rq.maskMode = 0;
    rq.opacity = std::clamp(opacity, 0, 256);
    rq.alphaLock = layer->alphaLock != 0;
    rq.alphaLayerOpacity = page.alphaLayerOpacity;
    blendInBands(rq);
}

// Turns the picture by whole degrees about its centre into a zeroed raster
// of the turned size (nothing when that size is 0).
void rotatePicture(RgbaImage& picture, std::int32_t degrees, std::int32_t quality, bool newerLibrary) {
    const auto radians = static_cast<float>(degrees * kRadiansPerDegree);
    std::int32_t rw = 0, rh = 0;
    if (!imaging_lib::GetRotatedPixelSize(radians, picture.width, picture.height, &rw, &rh) || rw <= 0 || rh <= 0)
        return;
    RgbaImage turned;
    if (!zeroedPicture(turned, rw, rh)) return;
    const std::int32_t ok =
        newerLibrary
            ? imaging_lib::RotateImage40(picture.pixels.data(), picture.width, picture.height, 4, picture.width * 4,
                                         turned.pixels.data(), rw * 4, 0, 0, radians, quality)
            : imaging_lib::RotateImage(picture.pixels.data(), picture.width, picture.height, 4, picture.width * 4,
                                       turned.pixels.data(), rw * 4, static_cast<std::int64_t>(turned.pixels.size()),
                                       0, 0, radians, quality);
    if (ok) picture = std::move(turned);
}

// Lays the picture into the current layer at (x, y) through mask and
// texture by the load rule (no blend: the picture's pixels replace the
// layer's where coverage is full). False without a current layer.
bool loadPictureIntoLayer(Page& page, const RgbaImage& picture, std::int32_t x, std::int32_t y) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || picture.pixels.empty()) return false;
    return loadRGBA32IntoLayer(page, *layer, picture.pixels.data(), picture.width * 4, x, y, picture.width,
                               picture.height, true);
}

std::uint8_t* captureRoom(void* context, std::int32_t width, std::int32_t height) {
    auto& picture = *static_cast<RgbaImage*>(context);
    if (!formats::allocateRgba(picture, width, height)) return nullptr;
    return picture.pixels.data();
}

bool capture(RgbaImage& picture) {
    const bool ok = platform::captureScreen(captureRoom, &picture);
    need(!picture.outOfMemory);
    if (!ok) picture = RgbaImage{};
    return ok && !picture.pixels.empty();
}

// The top-left corner of a picture of `size` centred on `centre`, held to
// the 32-bit range (a corner that far out lies off any page anyway).
std::int32_t centredOrigin(std::int32_t centre, std::int32_t size) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{centre} - size / 2, INT32_MIN, INT32_MAX));
}

// Ends a paste: the picture recorded as the transfer image, whose pixels go.
void finishWithTransfer(EngineState& engine, RgbaImage&& picture) {
    adoptTransferImage(engine.transfer, std::move(picture));
    engine.transfer.rgba.reset();
}

}  // namespace

bool putPictureOnClipboard(const std::uint8_t* rgba, std::int32_t width, std::int32_t height) {
    const std::size_t bytes = clipboardBlockBytes(width, height);
    if (!rgba || bytes == 0) return false;
    DibSource source{rgba, width, height};
    return platform::putClipboardDib(bytes, writeDib, &source);
}

bool readClipboardPicture(RgbaImage& out) {
    out = RgbaImage{};
    DibTarget target{&out};
    const bool read = platform::readClipboardDib(readDib, &target);
    need(!out.outOfMemory);
    return read && !out.pixels.empty();
}

void copyLayerToClipboard(EngineState& engine) {
    Block<std::uint8_t> picture;
    if (layerPicture(engine.page, picture)) putPictureOnClipboard(picture.data(), engine.page.width, engine.page.height);
}

void copyLayerRectToClipboard(EngineState& engine, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    Page& page = engine.page;
    // Corners in either order; the rectangle is cut to the page.
    imaging_lib::LibRect r{std::max(std::min(x0, x1), 0), std::max(std::min(y0, y1), 0),
                           std::min(std::max(x0, x1), page.width), std::min(std::max(y0, y1), page.height)};
    if (r.right <= r.left || r.bottom <= r.top) return;
    Block<std::uint8_t> picture;
    if (!layerPicture(page, picture)) return;
    const std::int32_t w = r.right - r.left, h = r.bottom - r.top;
    Block<std::uint8_t> crop;
    need(crop.allocate(saturatingProduct(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h), 4)));
    if (imaging_lib::CropImage(picture.data(), page.width, page.height, page.width * 4, crop.data(), w * 4, &r, 4))
        putPictureOnClipboard(crop.data(), w, h);
}

void copyBufferToClipboard(EngineState& engine, std::uint8_t* rgba, std::int32_t x, std::int32_t y,
                           std::int32_t width, std::int32_t height, bool applyMask) {
    if (!rgba || width <= 0 || height <= 0 || clipboardBlockBytes(width, height) == 0) return;
    Page& page = engine.page;
    if (applyMask && page.maskIfEnabled())
        applyMaskToAlphaRect(page.maskPage(), rgba, width * 4, x, y,
                             static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{x} + width - 1, INT32_MAX)),
                             static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{y} + height - 1, INT32_MAX)));
    putPictureOnClipboard(rgba, width, height);
}

bool pasteIntoTransfer(EngineState& engine) {
    RgbaImage picture;
    if (!readClipboardPicture(picture)) return false;
    adoptTransferImage(engine.transfer, std::move(picture));
    return true;
}

bool pasteInto(EngineState& engine, std::int32_t x, std::int32_t y, bool centred) {
    RgbaImage picture;
    if (!readClipboardPicture(picture)) return false;
    if (centred) {
        x = centredOrigin(x, picture.width);
        y = centredOrigin(y, picture.height);
    }
    const bool placed = loadPictureIntoLayer(engine.page, picture, x, y);
    finishWithTransfer(engine, std::move(picture));
    return placed;
}

bool scaledSize(double factor, std::int32_t width, std::int32_t height, std::int32_t& outWidth,
                std::int32_t& outHeight) noexcept {
    if (!std::isfinite(factor)) return false;
    const double w = std::max(1.0, std::trunc(factor * width)), h = std::max(1.0, std::trunc(factor * height));
    if (w > formats::kMaxDecodeSide || h > formats::kMaxDecodeSide) return false;
    outWidth = static_cast<std::int32_t>(w);
    outHeight = static_cast<std::int32_t>(h);
    return formats::decodeSizeAllowed(outWidth, outHeight);
}

bool resizePicture(RgbaImage& picture, std::int32_t width, std::int32_t height, ResizeMethod method) {
    RgbaImage sized;
    if (!zeroedPicture(sized, width, height)) return false;
    const void* s = picture.pixels.data();
    void* d = sized.pixels.data();
    const std::int32_t w = picture.width, h = picture.height;
    std::int32_t ok = 0;
    switch (method) {
        case ResizeMethod::Nearest:
            ok = imaging_lib::SimpleResampleImage(s, w, h, w * 4, d, width, height, width * 4, 4);
            break;
        case ResizeMethod::Bicubic:
            ok = imaging_lib::ResizeImageBicubic(s, w, h, w * 4, d, width, height, width * 4, 4);
            break;
        case ResizeMethod::Lanczos:
            ok = imaging_lib::ResizeFilterImage(s, w, h, w * 4, d, width, height, width * 4, 4, kLanczosFilter);
            break;
    }
    if (ok) picture = std::move(sized);
    return ok != 0;
}

bool resizePicturePremultiplied(RgbaImage& picture, std::int32_t width, std::int32_t height, ResizeMethod method) {
    premultiplyRGBA32(picture.pixels.data(), pixelCount(picture));
    const bool ok = resizePicture(picture, width, height, method);
    unpremultiplyRGBA32(picture.pixels.data(), pixelCount(picture));
    return ok;
}

bool placeOnCanvas(RgbaImage& picture, std::int32_t width, std::int32_t height, std::int32_t x, std::int32_t y) {
    RgbaImage canvas;
    if (!zeroedPicture(canvas, width, height)) return false;
    imaging_lib::OverlayImage(picture.pixels.data(), picture.width, picture.height, 4, picture.width * 4,
                              canvas.pixels.data(), width, height, width * 4, x, y, 1.0);
    picture = std::move(canvas);
    return true;
}

void pastePlaced(EngineState& engine, PlacedPaste kind, const Placement& p) {
    RgbaImage picture;
    if (!readClipboardPicture(picture)) return;
    const bool bySize = kind != PlacedPaste::ByScale;
    // Scaling.
    const double factor = bySize ? static_cast<double>(p.size) / std::max(picture.width, picture.height) : p.scale;
    std::int32_t nw = 0, nh = 0;
    if (factor != 1.0 && scaledSize(factor, picture.width, picture.height, nw, nh)) {
        if (!p.smooth) {
            resizePicture(picture, nw, nh, ResizeMethod::Nearest);
        } else if (!bySize) {
            resizePicture(picture, nw, nh, ResizeMethod::Bicubic);
        } else {
            // Lanczos needs room: tiny pictures and the older entry point take the bicubic.
            const bool small = picture.width < 5 || picture.height < 5 || nw < 5 || nh < 5;
            const ResizeMethod m =
                kind == PlacedPaste::BySize1602 || small ? ResizeMethod::Bicubic : ResizeMethod::Lanczos;
            resizePicturePremultiplied(picture, nw, nh, m);
        }
    }
    // Turning: the size-driven pastes skip a full turn, the scale-driven one does not.
    const bool turn = bySize ? p.angle != 0 && p.angle != 360 : p.angle != 0;
    if (turn) {
        const bool premultiply = bySize && p.smooth;
        if (premultiply) premultiplyRGBA32(picture.pixels.data(), pixelCount(picture));
        rotatePicture(picture, p.angle, p.smooth ? 2 : 0, kind == PlacedPaste::BySize1602);
        if (premultiply) unpremultiplyRGBA32(picture.pixels.data(), pixelCount(picture));
    }
    std::int32_t x = p.x, y = p.y;
    if (p.centred) {
        x = centredOrigin(x, picture.width);
        y = centredOrigin(y, picture.height);
    }
    const std::int32_t opacity = kind == PlacedPaste::BySize ? p.opacity : 255;
    blendPictureIntoLayer(engine.page, picture, x, y, opacity);
    finishWithTransfer(engine, std::move(picture));
}

bool pasteToFile(EngineState& engine, const char* path, const char* extension, std::int32_t dpi) {
    if (!pasteIntoTransfer(engine)) return false;
    TransferImage& t = engine.transfer;
    const bool written = writePictureByExtension(t.rgba.data(), t.width, t.height, 4, path, extension, dpi) != 0;
    t.rgba.reset();
    return written;
}

bool copyFileToClipboard(EngineState& engine, const char* path) {
    if (!readFileIntoTransfer(engine, path)) return false;
    TransferImage& t = engine.transfer;
    const bool put = t.present() && putPictureOnClipboard(t.rgba.data(), t.width, t.height);
    t.rgba.reset();
    return put;
}

bool captureScreenToTransfer(EngineState& engine) {
    RgbaImage picture;
    if (!capture(picture)) return false;
    adoptTransferImage(engine.transfer, std::move(picture));
    return true;
}

bool captureScreenIntoLayer(EngineState& engine) {
    RgbaImage picture;
    if (!capture(picture)) return false;
    const bool placed = loadPictureIntoLayer(engine.page, picture, 0, 0);
    finishWithTransfer(engine, std::move(picture));
    return placed;
}

}  // namespace plr
