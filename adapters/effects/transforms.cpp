#include "adapters/effects/transforms.h"

#include <cmath>

#include "adapters/effects/transform_rows.h"
#include "core/block.h"

namespace plr::effect_lib {
namespace {

using imaging_lib::InverseMap;
using imaging_lib::SampleEdge;
using imaging_lib::SampleSettings;

bool finite(double v) noexcept { return std::isfinite(v); }

std::int32_t add(TransformList& list, std::int32_t width, std::int32_t height, TransformKind kind,
                 std::int32_t edgeMode, double a, double b = 0, double c = 0, double cx = 0, double cy = 0) noexcept {
    if (list.count >= TransformList::kCapacity || width < 1 || height < 1) return 0;
    if (!finite(a) || !finite(b) || !finite(c) || !finite(cx) || !finite(cy)) return 0;
    list.items[list.count++] =
        Transform{kind, edgeMode, width, height, a, b, c, (width - 1) / 2.0 + cx / 2.0, (height - 1) / 2.0 + cy / 2.0};
    return 1;
}

// The list as TransformProcess runs it: a marble applied first (last in the
// list) reads the pixel grid and takes its sines from column tables.
struct PreparedList {
    const TransformList* list;
    const float* marble;  // marbleColumns' tables, or null
};

void listRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    const PreparedList& p = *static_cast<const PreparedList*>(context);
    if (!p.marble) return TransformRow(*p.list, y, xs, ys, n);
    const int first = p.list->count - 1;
    marbleGridRow(p.list->items[first], y, p.marble, xs, ys, n);
    for (int i = first - 1; i >= 0; --i) applyTransformToRow(p.list->items[i], xs, ys, n);
}

}  // namespace

std::int32_t ClearAllTransforms(TransformList& list) noexcept {
    list.count = 0;
    return 1;
}

std::int32_t AddOffsetTransform(TransformList& list, std::int32_t width, std::int32_t height, double dx, double dy,
                                std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Offset, edgeMode, dx, dy);
}
std::int32_t AddEllipticalTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radiusX,
                                    std::int32_t radiusY, std::int32_t cx, std::int32_t cy,
                                    std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Elliptical, edgeMode, radiusX, radiusY, 0, cx, cy);
}
std::int32_t AddLensTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                              std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::Lens, 0, radius, 0, 0, cx, cy);
}
std::int32_t AddMarbleTransform(TransformList& list, std::int32_t width, std::int32_t height, double scale,
                                double swirlX, double swirlY) noexcept {
    return add(list, width, height, TransformKind::Marble, 0, scale, swirlX, swirlY);
}
std::int32_t AddPinchTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                               std::int32_t amount, std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::Pinch, 0, radius, amount, 0, cx, cy);
}
std::int32_t AddRippleTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t wavelength,
                                std::int32_t amplitude, std::int32_t phase, std::int32_t cx, std::int32_t cy,
                                std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Ripple, edgeMode, wavelength, amplitude, phase, cx, cy);
}
std::int32_t AddSpinTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                              std::int32_t angle, std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::Spin, 0, radius, angle, 0, cx, cy);
}
std::int32_t AddSpinWaveTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                                  std::int32_t angle, std::int32_t waves, std::int32_t cx, std::int32_t cy) noexcept {
    return add(list, width, height, TransformKind::SpinWave, 0, radius, angle, waves, cx, cy);
}
std::int32_t AddWaveTransform(TransformList& list, std::int32_t width, std::int32_t height, double amplitude,
                              std::int32_t wavelength, std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Wave, edgeMode, amplitude, wavelength);
}
std::int32_t AddWowTransform(TransformList& list, std::int32_t width, std::int32_t height, std::int32_t radius,
                             std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::Wow, edgeMode, radius);
}
std::int32_t AddZigZagTransform(TransformList& list, std::int32_t width, std::int32_t height, double amplitude,
                                std::int32_t wavelength, std::int32_t edgeMode) noexcept {
    return add(list, width, height, TransformKind::ZigZag, edgeMode, amplitude, wavelength);
}
std::int32_t AddRandomTransform(TransformList& list, std::int32_t width, std::int32_t height,
                                std::int32_t amount) noexcept {
    return add(list, width, height, TransformKind::Random, 0, amount);
}

void TransformRow(const TransformList& list, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    if (list.count == 0) {
        const float row = static_cast<float>(y);
        for (std::int32_t x = 0; x < n; ++x) {
            xs[x] = static_cast<float>(x);
            ys[x] = row;
        }
        return;
    }
    // The transform applied first reads the pixel grid.
    applyTransformToGridRow(list.items[list.count - 1], y, xs, ys, n);
    for (int i = list.count - 2; i >= 0; --i) applyTransformToRow(list.items[i], xs, ys, n);
}

std::int32_t TransformProcess(const TransformList& list, const void* src, std::int32_t width, std::int32_t height,
                              std::int32_t srcStride, void* dst, std::int32_t dstStride, std::int32_t bytesPerPixel,
                              std::int32_t edgeMode, std::uint32_t fillColour) noexcept {
    if (src == dst || bytesPerPixel != 4 || edgeMode < 0 || edgeMode > 3) return 0;
    SampleSettings settings;
    settings.edge = static_cast<SampleEdge>(edgeMode);
    settings.fill = fillColour;
    PreparedList prepared{&list, nullptr};
    Block<float> marble;
    if (list.count > 0 && list.items[list.count - 1].kind == TransformKind::Marble && width > 0) {
        if (!marble.allocate(std::size_t(width) * kMarbleTables)) return 0;
        marbleColumns(list.items[list.count - 1], marble.data(), width);
        prepared.marble = marble.data();
    }
    return imaging_lib::InverseMapImage(static_cast<const std::uint8_t*>(src), width, height, srcStride,
                                        static_cast<std::uint8_t*>(dst), dstStride, InverseMap{listRow, &prepared},
                                        settings);
}

}  // namespace plr::effect_lib
