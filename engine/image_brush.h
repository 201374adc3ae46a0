#pragma once
// Image brushes: a small colour picture stamped instead of one colour. The
// brush image (layer pixels) is scaled to the brush size into the sized
// brush, optionally turned, and blended into the mixing buffer, from which
// the dab paints it with imageBrushMode on (the picture's alpha acting as
// coverage). The state lives in the engine, not the page: deleting or
// resizing the page keeps it.
#include <cstdint>

#include "core/block.h"

namespace plr {

struct EngineState;

struct ImageBrush {
    Block<std::uint16_t> image;  // width x height layer pixels, row length width
    std::int32_t width = 0, height = 0;
    Block<std::uint16_t> sized;  // sizedEdge x sizedEdge layer pixels
    std::int32_t sizedEdge = 0;
    // Animation frames side by side: stripWidth x frameHeight, each frame
    // frameHeight x frameHeight.
    Block<std::uint16_t> strip;
    std::int32_t frameHeight = 0, stripWidth = 0, frameCount = 0;
    // The sized brush in 8-bit form and its turned copy, both
    // rotationEdge x rotationEdge RGBA32.
    Block<std::uint8_t> rotationColour, rotated;
    std::int32_t rotationEdge = 0;
    bool rotationReady = false;  // rotationColour matches the sized brush
};

// Loads a brush image from packed RGBA32 (each byte x 256) when both sides
// are 1..maxBrushSize; otherwise nothing changes.
void loadImageBrushRGBA32(EngineState& engine, const std::uint8_t* rgba, std::int32_t width, std::int32_t height);
// The same from a picture file.
void loadImageBrushFile(EngineState& engine, const char* path);
// A picture file of frames side by side (frame height = picture height, at
// most maxBrushSize): the strip, and a transparent frame-sized brush image.
void loadImageBrushStrip(EngineState& engine, const char* path);
// Frame trunc(frameCount x position) of the strip into the brush image.
void copyImageBrushFrame(EngineState& engine, float position);
// A brushSize square of opaque (red, green, blue) x 257.
void fillImageBrush(EngineState& engine, std::int32_t red, std::int32_t green, std::int32_t blue);
// Every pixel's colour set to (red, green, blue) x 257, alpha kept; without a
// brush image, a brushSize square of opaque white is made first.
void colourImageBrush(EngineState& engine, std::int32_t red, std::int32_t green, std::int32_t blue);
// A brushSize square from the mixing buffer's top-left corner.
void copyMixingBufferToImageBrush(EngineState& engine);
// The sized brush rebuilt for brushSize (nothing without a brush image).
void sizeImageBrush(EngineState& engine);
// Sizes, then blends the sized brush into the mixing buffer: with
// d = trunc(strength x 2.559) > 0 each channel becomes
// (d x buffer + brush x (255 - d)) >> 8; with d = 0 the brush replaces it.
void blendSizedImageBrush(EngineState& engine, std::int32_t strength);
// The sized brush turned by `degrees` (anticlockwise on screen) through
// effect 51, colour and alpha turned separately.
void rotateImageBrush(EngineState& engine, std::int32_t degrees);
// Blends the turned brush q (8-bit) into the mixing buffer: with d as above
// and e = 255 - d, q x e + ((d x buffer) >> 8) for d > 0, q x 256 for d = 0.
void blendRotatedImageBrush(EngineState& engine, std::int32_t strength);
// The brush image written as an 8-bit RGBA PNG (high bytes) at 72 dpi.
void saveImageBrush(EngineState& engine, const char* path);
// The clipboard's picture scaled to fit an edge x edge square, centred on a
// transparent one, as the brush image.
void imageBrushFromClipboard(EngineState& engine, std::int32_t edge);

}  // namespace plr
