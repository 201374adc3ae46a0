#pragma once
// The transform list of the effects library: geometric effects that move
// pixels. Each transform is an inverse mapping, from a destination pixel
// centre to the source position it shows; TransformProcess runs the list
// from the last transform added to the first and samples the source there
// with the shared bilinear sampler (adapters/imaging/inverse_sampler.h).
// A new transform is one more coordinate formula, over a row of positions in
// transform_rows.cpp and one position at a time in transforms_reference.cpp.
//
// Edge handling, at two places:
//   - each transform folds the positions it produces by its own edge mode:
//     1 wraps them round (the picture tiles), 2 clamps them to the edge
//     pixels (the edge smears), 3 mirrors them at the edges; 0 and any other
//     value leave them alone;
//   - TransformProcess's edge mode decides what a sample beyond the source
//     reads, including the neighbours of bilinear sampling at the border:
//     0 the fill colour, 1 wrapped, 2 the nearest edge pixel, 3 mirrored.
//
// Centres: the transforms with a centre take it as an offset (cx, cy) from
// the picture's middle in half pixels, so that -width and +width reach the
// left and right edges (0, 0 is the middle). Angles are in degrees, lengths
// in pixels. Inside a radius R (where a transform has one) the effect fades
// to nothing at R; outside it the picture stays.
#include <cstdint>

#include "adapters/imaging/inverse_sampler.h"

namespace plr::effect_lib {

enum class TransformKind : std::int32_t {
    Offset,      // a = dx, b = dy: destination (x, y) shows (x - dx, y - dy)
    Elliptical,  // a, b = radii of the ellipse round the centre; a sphere bulges inside it
    Lens,        // a = radius; a lens magnifying up to twice at the centre
    Marble,      // a = scale (0.5 .. 5.5), b, c = horizontal and vertical swirl in pixels
    Pinch,       // a = radius, b = amount in percent (negative: bulge)
    Ripple,      // a = wavelength, b = amplitude, c = phase in percent of a wave: rings round the centre
    Spin,        // a = radius, b = angle: turns the middle most, fading to R
    SpinWave,    // a = radius, b = angle, c = waves in tenths across the radius: turns back and forth
    Wave,        // a = amplitude, b = wavelength: rows and columns shifted along sine waves
    Wow,         // a = radius: rings turned back and forth, one swing per radius
    ZigZag,      // a = amplitude, b = wavelength: as Wave with triangle waves
    Random,      // a = amount: every pixel from one up to `amount` whole pixels away across and down, a fixed scatter
};

struct Transform {
    TransformKind kind = TransformKind::Offset;
    std::int32_t edgeMode = 0;
    std::int32_t width = 0, height = 0;  // the picture the transform was made for
    double a = 0.0, b = 0.0, c = 0.0;    // see TransformKind
    double cx = 0.0, cy = 0.0;           // the centre in pixels (worked out when added)
};

// A fixed number of transforms, so adding one never allocates.
struct TransformList {
    static constexpr int kCapacity = 16;
    Transform items[kCapacity];
    int count = 0;
};

std::int32_t ClearAllTransforms(TransformList& list) noexcept;

// Each add fails (0, the list unchanged) when the list is full, the size is
// below 1 or a value is not finite.
std::int32_t AddOffsetTransform(TransformList& list, std::int32_t width, std::int32_t height, double dx, double dy,
                                std::int32_t edgeMode) noexcept;
std::int32_t AddEllipticalTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radiusX,
                                    std::int32_t radiusY, std::int32_t cx, std::int32_t cy,
                                    std::int32_t edgeMode) noexcept;
std::int32_t AddLensTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                              std::int32_t cx, std::int32_t cy) noexcept;
std::int32_t AddMarbleTransform(TransformList& list, std::int32_t width, std::int32_t height, double scale,
                                double swirlX, double swirlY) noexcept;
std::int32_t AddPinchTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                               std::int32_t amount, std::int32_t cx, std::int32_t cy) noexcept;
std::int32_t AddRippleTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t wavelength,
                                std::int32_t amplitude, std::int32_t phase, std::int32_t cx, std::int32_t cy,
                                std::int32_t edgeMode) noexcept;
std::int32_t AddSpinTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                              std::int32_t angle, std::int32_t cx, std::int32_t cy) noexcept;
std::int32_t AddSpinWaveTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                                  std::int32_t angle, std::int32_t waves, std::int32_t cx, std::int32_t cy) noexcept;
std::int32_t AddWaveTransform(TransformList& list, std::int32_t width, std::int32_t height, double amplitude,
                              std::int32_t wavelength, std::int32_t edgeMode) noexcept;
std::int32_t AddWowTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                             std::int32_t edgeMode) noexcept;
std::int32_t AddZigZagTransform(TransformList& list, std::int32_t width, std::int32_t height, double amplitude,
                                std::int32_t wavelength, std::int32_t edgeMode) noexcept;
std::int32_t AddRandomTransform(TransformList& list, std::int32_t width, std::int32_t height,
                                std::int32_t amount) noexcept;

// Where destination row y of the list's result looks in the source (n
// pixels from x = 0): the map TransformProcess samples through.
void TransformRow(const TransformList& list, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept;

// Runs the list from `src` to `dst` (both width x height, 4 bytes a pixel;
// `bytesPerPixel` must be 4); `fillColour` packs the fill's bytes, byte 0
// into channel 0. An empty list copies. Fails for null or overlapping
// buffers, an edge mode outside 0..3, or when the heap says no.
std::int32_t TransformProcess(const TransformList& list, const void* src, std::int32_t width, std::int32_t height,
                              std::int32_t srcStride, void* dst, std::int32_t dstStride, std::int32_t bytesPerPixel,
                              std::int32_t edgeMode, std::uint32_t fillColour) noexcept;

}  // namespace plr::effect_lib
