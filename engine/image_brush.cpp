#include "engine/image_brush.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/raster_channels.h"
#include "adapters/imaging/raster_resize.h"
#include "core/failure.h"
#include "core/sizes.h"
#include "engine/engine.h"
#include "engine/page_clipboard.h"
#include "exchange/image_files.h"

namespace plr {
namespace {

constexpr std::uint16_t kOpaque = 0xFFFF;
// Effect 51's scale parameter: 100 % keeps the size.
constexpr double kUnscaled = 100.0;

std::size_t squareValues(std::int32_t edge) noexcept {
    return saturatingProduct(static_cast<std::uint64_t>(edge), static_cast<std::uint64_t>(edge), 4);
}

std::int32_t brushSizeOf(const EngineState& e) noexcept { return e.page.brush.settings.brushSize; }

// The mixing buffer when it holds a brushSize square (rows maxBrushSize
// pixels apart), else null.
std::uint16_t* mixingBufferFor(EngineState& e, std::int32_t edge) noexcept {
    Page& page = e.page;
    if (edge <= 0 || edge > page.maxBrushSize) return nullptr;
    Block<std::uint16_t>& b = page.brush.mixingBuffer;
    return !b.empty() && b.size() >= squareValues(page.maxBrushSize) ? b.data() : nullptr;
}

void replaceImage(ImageBrush& b, Block<std::uint16_t>&& pixels, std::int32_t width, std::int32_t height) noexcept {
    b.image = std::move(pixels);
    b.width = width;
    b.height = height;
}

// Packed RGBA32 widened to layer pixels (byte x 256).
void widen(const std::uint8_t* rgba, std::size_t values, std::uint16_t* out) noexcept {
    for (std::size_t i = 0; i < values; ++i) out[i] = static_cast<std::uint16_t>(rgba[i] << 8);
}

void narrow(const std::uint16_t* pixels, std::size_t values, std::uint8_t* out) noexcept {
    for (std::size_t i = 0; i < values; ++i) out[i] = static_cast<std::uint8_t>(pixels[i] >> 8);
}

// A brushSize square of (red, green, blue, alpha) as the brush image.
void fillSquare(EngineState& e, std::uint16_t red, std::uint16_t green, std::uint16_t blue, std::uint16_t alpha) {
    const std::int32_t n = brushSizeOf(e);
    if (n <= 0) return;
    Block<std::uint16_t> pixels;
    need(pixels.allocate(squareValues(n)));
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = red;
        pixels[i + 1] = green;
        pixels[i + 2] = blue;
        pixels[i + 3] = alpha;
    }
    replaceImage(e.imageBrush, std::move(pixels), n, n);
}

bool readPicture(const char* path, formats::RgbaImage& out) {
    if (!path) return false;
    const bool ok = readPictureFile(path, MetafileCanvas{}, out);
    need(!out.outOfMemory);
    return ok && !out.pixels.empty();
}

// The buffer's weight d = trunc(strength x 2.559), held to 0..255.
std::uint32_t blendWeight(std::int32_t strength) noexcept {
    return static_cast<std::uint32_t>(std::clamp(strength * 2.559, 0.0, 255.0));
}

// Turns an edge x edge RGBA32 picture in place by effect 51.
bool turn(std::uint8_t* pixels, std::int32_t edge, double degrees) noexcept {
    return effect_lib::rotateImage(pixels, edge, edge, degrees, kUnscaled);
}

}  // namespace

void loadImageBrushRGBA32(EngineState& e, const std::uint8_t* rgba, std::int32_t width, std::int32_t height) {
    const std::int32_t most = e.page.maxBrushSize;
    if (!rgba || width <= 0 || height <= 0 || width > most || height > most) return;
    Block<std::uint16_t> pixels;
    const std::size_t values = saturatingProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 4);
    need(pixels.allocate(values));
    widen(rgba, values, pixels.data());
    replaceImage(e.imageBrush, std::move(pixels), width, height);
}

void loadImageBrushFile(EngineState& e, const char* path) {
    formats::RgbaImage picture;
    if (readPicture(path, picture)) loadImageBrushRGBA32(e, picture.pixels.data(), picture.width, picture.height);
}

void loadImageBrushStrip(EngineState& e, const char* path) {
    formats::RgbaImage picture;
    if (!readPicture(path, picture) || picture.height > e.page.maxBrushSize) return;
    const std::int32_t h = picture.height;
    Block<std::uint16_t> strip, frame;
    need(strip.allocate(picture.pixels.size()));
    need(frame.allocate(squareValues(h)));
    widen(picture.pixels.data(), picture.pixels.size(), strip.data());
    // Transparent until a frame is copied in.
    std::memset(frame.data(), 0, frame.bytes());
    ImageBrush& b = e.imageBrush;
    b.strip = std::move(strip);
    b.frameHeight = h;
    b.stripWidth = picture.width;
    b.frameCount = picture.width / h;
    replaceImage(b, std::move(frame), h, h);
}

void copyImageBrushFrame(EngineState& e, float position) {
    ImageBrush& b = e.imageBrush;
    const std::int32_t h = b.frameHeight;
    if (b.strip.empty() || b.frameCount <= 0 || !(position >= 0.0f) || !(position < 1.0f)) return;
    const auto frame = std::min(static_cast<std::int32_t>(static_cast<float>(b.frameCount) * position), b.frameCount - 1);
    if (b.image.empty() || b.width != h || b.height != h) {
        Block<std::uint16_t> pixels;
        need(pixels.allocate(squareValues(h)));
        replaceImage(b, std::move(pixels), h, h);
    }
    const std::size_t rowValues = static_cast<std::size_t>(h) * 4;
    for (std::int32_t y = 0; y < h; ++y)
        std::memcpy(b.image.data() + static_cast<std::size_t>(y) * rowValues,
                    b.strip.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(b.stripWidth) +
                                      static_cast<std::size_t>(frame) * static_cast<std::size_t>(h)) * 4,
                    rowValues * sizeof(std::uint16_t));
}

void fillImageBrush(EngineState& e, std::int32_t red, std::int32_t green, std::int32_t blue) {
    fillSquare(e, static_cast<std::uint16_t>((red & 0xFF) * 257), static_cast<std::uint16_t>((green & 0xFF) * 257),
               static_cast<std::uint16_t>((blue & 0xFF) * 257), kOpaque);
}

void colourImageBrush(EngineState& e, std::int32_t red, std::int32_t green, std::int32_t blue) {
    ImageBrush& b = e.imageBrush;
    if (b.image.empty()) fillSquare(e, kOpaque, kOpaque, kOpaque, kOpaque);
    const auto r = static_cast<std::uint16_t>((red & 0xFF) * 257), g = static_cast<std::uint16_t>((green & 0xFF) * 257),
               bl = static_cast<std::uint16_t>((blue & 0xFF) * 257);
    for (std::size_t i = 0; i + 3 < b.image.size(); i += 4) {
        b.image[i] = r;
        b.image[i + 1] = g;
        b.image[i + 2] = bl;
    }
}

void copyMixingBufferToImageBrush(EngineState& e) {
    const std::int32_t n = brushSizeOf(e);
    const std::uint16_t* buffer = mixingBufferFor(e, n);
    if (!buffer) return;
    Block<std::uint16_t> pixels;
    need(pixels.allocate(squareValues(n)));
    const std::size_t rowValues = static_cast<std::size_t>(n) * 4, stride = static_cast<std::size_t>(e.page.maxBrushSize) * 4;
    for (std::int32_t y = 0; y < n; ++y)
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * rowValues, buffer + static_cast<std::size_t>(y) * stride,
                    rowValues * sizeof(std::uint16_t));
    replaceImage(e.imageBrush, std::move(pixels), n, n);
}

void sizeImageBrush(EngineState& e) {
    ImageBrush& b = e.imageBrush;
    const std::int32_t n = brushSizeOf(e);
    if (b.image.empty() || n <= 0) return;
    if (!b.sized.empty() && b.sizedEdge != n) {
        b.sized.reset();
        b.sizedEdge = 0;
    }
    if (b.sized.empty()) {
        need(b.sized.allocate(squareValues(n)));
        b.sizedEdge = n;
    }
    const std::int32_t w = b.width, h = b.height;
    if (n == w) {
        // Unscaled: the picture's rows as they are, at most n of them; rows
        // the picture lacks stay transparent.
        std::memset(b.sized.data(), 0, b.sized.bytes());
        const std::size_t rows = static_cast<std::size_t>(std::min(n, h));
        std::memcpy(b.sized.data(), b.image.data(), rows * static_cast<std::size_t>(n) * 4 * sizeof(std::uint16_t));
    } else if (n < w) {
        imaging_lib::DecimateImage(b.image.data(), w, h, w * 8, b.sized.data(), n, n, n * 8, 8, 1);
    } else {
        imaging_lib::ResizeImage(b.image.data(), w, h, w * 8, b.sized.data(), n, n, n * 8, 8);
    }
    b.rotationReady = false;
}

void blendSizedImageBrush(EngineState& e, std::int32_t strength) {
    sizeImageBrush(e);
    ImageBrush& b = e.imageBrush;
    const std::int32_t n = b.sizedEdge;
    std::uint16_t* buffer = b.sized.empty() ? nullptr : mixingBufferFor(e, n);
    if (!buffer) return;
    const std::uint32_t d = blendWeight(strength);
    const std::size_t stride = static_cast<std::size_t>(e.page.maxBrushSize) * 4;
    for (std::int32_t y = 0; y < n; ++y) {
        const std::uint16_t* s = b.sized.data() + static_cast<std::size_t>(y) * n * 4;
        std::uint16_t* m = buffer + static_cast<std::size_t>(y) * stride;
        for (std::int32_t i = 0; i < n * 4; ++i)
            m[i] = d == 0 ? s[i] : static_cast<std::uint16_t>((d * m[i] + s[i] * (255 - d)) >> 8);
    }
}

void rotateImageBrush(EngineState& e, std::int32_t degrees) {
    ImageBrush& b = e.imageBrush;
    const std::int32_t n = b.sizedEdge;
    if (b.sized.empty() || n <= 0) return;
    if (!b.rotationReady || b.rotationColour.empty() || b.rotated.empty()) {
        const std::size_t bytes = squareValues(n);
        if (b.rotationEdge != n) {
            b.rotationColour.reset();
            b.rotated.reset();
        }
        b.rotationEdge = n;
        b.rotationReady = false;
        if (b.rotationColour.empty()) need(b.rotationColour.allocate(bytes));
        if (b.rotated.empty()) {
            need(b.rotated.allocate(bytes));
            std::memset(b.rotated.data(), 0, bytes);
        }
        narrow(b.sized.data(), bytes, b.rotationColour.data());
        b.rotationReady = true;
    }
    Block<std::uint8_t> plane;
    need(plane.allocate(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)));
    const double angle = 360.0 - degrees;
    // Alpha turns on its own, carried in the red channel, so the colour
    // turn cannot mix it.
    imaging_lib::SplitImage(b.rotationColour.data(), n, n, 4, n * 4, 3, plane.data(), n);
    imaging_lib::CombineImageChannels(plane.data(), n, n, n, b.rotated.data(), 4, n * 4, 0x1);
    if (turn(b.rotated.data(), n, angle)) imaging_lib::SplitImage(b.rotated.data(), n, n, 4, n * 4, 0, plane.data(), n);
    std::memcpy(b.rotated.data(), b.rotationColour.data(), b.rotated.size());
    if (turn(b.rotated.data(), n, angle))
        imaging_lib::CombineImageChannels(plane.data(), n, n, n, b.rotated.data(), 4, n * 4, 0x8);
}

void blendRotatedImageBrush(EngineState& e, std::int32_t strength) {
    ImageBrush& b = e.imageBrush;
    const std::int32_t n = b.rotationEdge;
    std::uint16_t* buffer = b.rotated.empty() || !b.rotationReady ? nullptr : mixingBufferFor(e, n);
    if (!buffer) return;
    const std::uint32_t d = blendWeight(strength);
    const std::uint32_t keep = 255 - d;
    const std::size_t stride = static_cast<std::size_t>(e.page.maxBrushSize) * 4;
    for (std::int32_t y = 0; y < n; ++y) {
        const std::uint8_t* q = b.rotated.data() + static_cast<std::size_t>(y) * n * 4;
        std::uint16_t* m = buffer + static_cast<std::size_t>(y) * stride;
        for (std::int32_t i = 0; i < n * 4; ++i)
            m[i] = static_cast<std::uint16_t>(d == 0 ? q[i] * 256u : q[i] * keep + ((d * m[i]) >> 8));
    }
}

void saveImageBrush(EngineState& e, const char* path) {
    const ImageBrush& b = e.imageBrush;
    if (b.image.empty() || !path) return;
    Block<std::uint8_t> rgba;
    need(rgba.allocate(b.image.size()));
    narrow(b.image.data(), b.image.size(), rgba.data());
    writePictureByExtension(rgba.data(), b.width, b.height, 4, path, ".png", 72);
}

void imageBrushFromClipboard(EngineState& e, std::int32_t edge) {
    if (edge <= 0 || !pasteIntoTransfer(e)) return;
    TransferImage& t = e.transfer;
    formats::RgbaImage picture;
    picture.pixels = std::move(t.rgba);
    picture.width = t.width;
    picture.height = t.height;
    const double factor = static_cast<double>(edge) / std::max(picture.width, picture.height);
    std::int32_t w = 0, h = 0;
    if (factor != 1.0 && scaledSize(factor, picture.width, picture.height, w, h))
        resizePicturePremultiplied(picture, w, h, ResizeMethod::Bicubic);
    if (placeOnCanvas(picture, edge, edge, (edge - picture.width) / 2, (edge - picture.height) / 2))
        loadImageBrushRGBA32(e, picture.pixels.data(), edge, edge);
    adoptTransferImage(t, std::move(picture));
    t.rgba.reset();
}

}  // namespace plr
