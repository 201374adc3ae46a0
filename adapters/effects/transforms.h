#pragma once
// The transform list of the effects library: geometric effects that move
// pixels. Each transform is an inverse mapping, from a destination pixel
// centre to the source position it shows; TransformProcess runs the list
// from the last transform added to the first and samples the source there
// bilinearly. A new transform is one more coordinate formula in
// transforms.cpp.
//
// Edge handling, at two places:
//   - each transform folds the positions it produces by its own edge mode:
//     1 wraps them round (the picture tiles), 2 clamps them to the edge
//     pixels (the edge smears), 3 mirrors them at the edges; 0 and any other
//     value leave them alone;
//   - TransformProcess's edge mode decides what a sample beyond the source
//     reads, including the neighbours of bilinear sampling at the border:
//     0 the fill colour, 1 wrapped, 2 the nearest edge pixel, 3 mirrored.
#include <cstdint>

namespace plr::effect_lib {

enum class TransformKind : std::int32_t { Offset, Random };

struct Transform {
    TransformKind kind = TransformKind::Offset;
    std::int32_t edgeMode = 0;
    std::int32_t width = 0, height = 0;  // the picture the transform was made for
    double a = 0.0, b = 0.0;              // Offset: dx, dy; Random: amount
};

// A fixed number of transforms, so adding one never allocates.
struct TransformList {
    static constexpr int kCapacity = 16;
    Transform items[kCapacity];
    int count = 0;
};

std::int32_t ClearAllTransforms(TransformList& list) noexcept;
// Shifts the picture by (dx, dy): destination (x, y) shows source
// (x - dx, y - dy). Fails when the list is full or the size is below 1.
std::int32_t AddOffsetTransform(TransformList& list, std::int32_t width, std::int32_t height, double dx, double dy,
                                std::int32_t edgeMode) noexcept;
// Scatters the picture: destination (x, y) shows a source pixel up to
// `amount` whole pixels away across and down, chosen by a hash of (x, y) so
// the same picture frosts the same way every time. Amount 0 leaves the
// positions alone. Fails when the list is full, the size is below 1 or the
// amount is negative.
std::int32_t AddRandomTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t amount,
                                std::int32_t edgeMode) noexcept;
// Runs the list from `src` to `dst` (both width x height, 4 bytes a pixel;
// `bytesPerPixel` must be 4); `fillColour` packs the fill's bytes, byte 0
// into channel 0. An empty list copies. Fails for null or overlapping
// buffers, an edge mode outside 0..3, or when the heap says no.
std::int32_t TransformProcess(const TransformList& list, const void* src, std::int32_t width, std::int32_t height,
                              std::int32_t srcStride, void* dst, std::int32_t dstStride, std::int32_t bytesPerPixel,
                              std::int32_t edgeMode, std::uint32_t fillColour) noexcept;

}  // namespace plr::effect_lib
