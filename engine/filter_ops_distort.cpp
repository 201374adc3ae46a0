// Distortions: the transform-list filters, the polygon warps on the layer's
// box and the effects that carry alpha through the colour-only effects
// library.
#include <algorithm>
#include <cstring>

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/polygon_warp.h"
#include "adapters/imaging/raster.h"
#include "adapters/imaging/raster_channels.h"
#include "adapters/imaging/raster_resize.h"
#include "core/block.h"
#include "core/failure.h"
#include "core/rect.h"
#include "engine/filter_ops.h"
#include "engine/page.h"
#include "layers/layer_options.h"

namespace plr::filter_ops {
namespace el = effect_lib;
namespace il = imaging_lib;

namespace {

// ---- transform list -------------------------------------------------------

// Centre offsets: 50 is the page's middle, 0 and 100 its edges.
std::int32_t centreX(const FilterRun& r, float p) { return t(r.width() * (0.02 * p - 1)); }
std::int32_t centreY(const FilterRun& r, float p) { return t(r.height() * (0.02 * p - 1)); }
// A length as a fraction p of the longer page side.
std::int32_t ofLongerSide(const FilterRun& r, float p) { return t(p * 0.01 * r.longerSide()); }

// Clears the list, lets `add` put one transform on it and runs it from the
// source to the destination with the nearest edge pixels beyond the picture.
template <class Add>
bool transformList(FilterRun& r, Add&& add) {
    el::TransformList& list = r.effects.transforms;
    el::ClearAllTransforms(list);
    if (!add(list, r.width(), r.height())) return false;
    return el::TransformProcess(list, r.in, r.width(), r.height(), r.stride(), r.out, r.stride(), 4, 2,
                                r.packedColour) != 0;
}

// ---- polygon warps --------------------------------------------------------

struct Box {
    std::int32_t x0, y0, x1, y1;
};

// The corner offsets of the warps: H[k], V[k] from slider k, and the pivots'
// m2, m4, g2, g4.
struct Offsets {
    std::int32_t H[7] = {}, V[7] = {};
    std::int32_t m2 = 0, m4 = 0, g2 = 0, g4 = 0;
};

Offsets offsetsFor(const FilterRun& r, const Box& b, double s) {
    const double w = double(b.x1) - b.x0, h = double(b.y1) - b.y0;
    Offsets o;
    for (int k = 1; k <= 6; ++k) {
        o.H[k] = t(w * s * (50 - r.p[k]));
        o.V[k] = t(h * s * (50 - r.p[k]));
    }
    o.m2 = t(w * (0.01 * r.p[2]));
    o.m4 = t(w * (0.01 * (100 - r.p[4])));
    o.g2 = t(h * (0.01 * r.p[2]));
    o.g4 = t(h * (0.01 * (100 - r.p[4])));
    return o;
}

// Corners in the order bottom-left, top-left, top-right, bottom-right.
using Quad = il::WarpPoint[4];
using Corners = void (*)(const FilterRun&, const Box&, const Offsets&, Quad&);

void boxCorners(const Box& b, Quad& q) {
    q[0] = {b.x0, b.y1};
    q[1] = {b.x0, b.y0};
    q[2] = {b.x1, b.y0};
    q[3] = {b.x1, b.y1};
}

void perspectiveCorners(const FilterRun&, const Box& b, const Offsets& o, Quad& q) {
    q[0] = {b.x0 + o.H[4], b.y1 - o.V[1]};
    q[1] = {b.x0 + o.H[2], b.y0 + o.V[1]};
    q[2] = {b.x1 - o.H[2], b.y0 + o.V[3]};
    q[3] = {b.x1 - o.H[4], b.y1 - o.V[3]};
}
void warpCorners(const FilterRun&, const Box& b, const Offsets& o, Quad& q) {
    q[0] = {b.x0 + o.H[1], b.y1 - o.V[1]};
    q[1] = {b.x0 + o.H[2], b.y0 + o.V[2]};
    q[2] = {b.x1 - o.H[3], b.y0 + o.V[3]};
    q[3] = {b.x1 - o.H[4], b.y1 - o.V[4]};
}
void stretchCorners(const FilterRun&, const Box& b, const Offsets& o, Quad& q) {
    q[0] = {b.x0 + o.H[1], b.y1 - o.V[2]};
    q[1] = {b.x0 + o.H[1], b.y0 + o.V[2]};
    q[2] = {b.x1 - o.H[1], b.y0 + o.V[2]};
    q[3] = {b.x1 - o.H[1], b.y1 - o.V[2]};
}
void stretchEdgeCorners(const FilterRun&, const Box& b, const Offsets& o, Quad& q) {
    q[0] = {b.x0 + o.H[3], b.y1 - o.V[2]};
    q[1] = {b.x0 + o.H[3], b.y0 + o.V[1]};
    q[2] = {b.x1 - o.H[4], b.y0 + o.V[1]};
    q[3] = {b.x1 - o.H[4], b.y1 - o.V[2]};
}
void skewCorners(const FilterRun&, const Box& b, const Offsets& o, Quad& q) {
    q[0] = {b.x0 - o.H[4], b.y1 + o.V[1]};
    q[1] = {b.x0 - o.H[2], b.y0 + o.V[1]};
    q[2] = {b.x1 - o.H[2], b.y0 + o.V[3]};
    q[3] = {b.x1 - o.H[4], b.y1 + o.V[3]};
}
void verticalPivotCorners(const FilterRun&, const Box& b, const Offsets& o, Quad& q) {
    q[0] = {b.x0 + o.m2, b.y1 - o.V[1]};
    q[1] = {b.x0 + o.m2, b.y0 + o.V[1]};
    q[2] = {b.x1 - o.m4, b.y0 + o.V[3]};
    q[3] = {b.x1 - o.m4, b.y1 - o.V[3]};
}
void horizontalPivotCorners(const FilterRun&, const Box& b, const Offsets& o, Quad& q) {
    q[0] = {b.x0 + o.H[3], b.y1 - o.g4};
    q[1] = {b.x0 + o.H[1], b.y0 + o.g2};
    q[2] = {b.x1 - o.H[1], b.y0 + o.g2};
    q[3] = {b.x1 - o.H[3], b.y1 - o.g4};
}
// Option 1 picks the edge that moves: 1 top, 2 right, 3 bottom, else left.
void warpEdgeCorners(const FilterRun& r, const Box& b, const Offsets& o, Quad& q) {
    boxCorners(b, q);
    const auto& H = o.H;
    const auto& V = o.V;
    switch (r.option(1)) {
        case 1:
            q[1] = {b.x0 + H[1] - H[3], b.y0 + V[2]};
            q[2] = {b.x1 - H[3] - H[1], b.y0 + V[2]};
            break;
        case 2:
            q[2] = {b.x1 - H[2], b.y0 + V[1] - V[3]};
            q[3] = {b.x1 - H[2], b.y1 - V[3] - V[1]};
            break;
        case 3:
            q[3] = {b.x1 - H[3] - H[1], b.y1 - V[2]};
            q[0] = {b.x0 + H[1] - H[3], b.y1 - V[2]};
            break;
        default:
            q[0] = {b.x0 - H[2], b.y1 - V[3] - V[1]};
            q[1] = {b.x0 - H[2], b.y0 + V[1] - V[3]};
            break;
    }
}
// Options 4..7 switch the corners on; the pairs (H1, V2), (H3, V4), (H5, V6)
// go to them in turn, so at most three move.
void warp3PointCorners(const FilterRun& r, const Box& b, const Offsets& o, Quad& q) {
    boxCorners(b, q);
    const std::int32_t pairs[3][2] = {{o.H[1], o.V[2]}, {o.H[3], o.V[4]}, {o.H[5], o.V[6]}};
    int used = 0;
    for (int corner = 0; corner < 4 && used < 3; ++corner) {
        if (r.optionByte(4 + corner) != 1) continue;
        q[corner] = {q[corner].x - pairs[used][0], q[corner].y - pairs[used][1]};
        ++used;
    }
}

// Fills the destination with the filter colour at alpha 0 and warps the
// box (the page, or with option 3 the painted extents of the layer) onto
// the quadrilateral `corners` gives.
bool polygonWarp(FilterRun& r, double scale, Corners corners) {
    Box box{0, 0, r.width() - 1, r.height() - 1};
    if (r.optionByte(3) == 1) {
        Rect painted;
        if (!findDataExtents(r.page, r.page.currentLayerIndex, painted) || painted.empty()) return false;
        box = {painted.left, painted.top, painted.lastColumn(), painted.lastRow()};
    }
    const std::uint32_t fill = r.packedColour;  // alpha byte 0
    for (std::size_t i = 0, n = r.page.pixelCount(); i < n; ++i) std::memcpy(r.out + i * 4, &fill, 4);
    Quad from, to;
    boxCorners(box, from);
    corners(r, box, offsetsFor(r, box, scale), to);
    return il::PolygonWarpImage(r.in, r.width(), r.height(), 4, r.stride(), r.out, r.stride(), from, to, 32, 0, 0, 2) !=
           0;
}

// ---- effects with alpha transport ----------------------------------------

// The effect moves colour only, so alpha rides through it once in the red
// channel, then the colour goes through with the same values and the moved
// alpha is put back. `fromLayer`: the source is read from the layer (and
// neither pre- nor post-adjusted) rather than refreshed.
bool alphaTransport(FilterRun& r, std::int32_t number, const EffectValue* values, int count, bool fromLayer) {
    std::uint8_t* src = r.page.processing.src32.data();
    const std::int32_t w = r.width(), h = r.height();
    auto source = [&] { fromLayer ? readLayerIntoSource(r) : static_cast<void>(refreshSource(r)); };
    source();
    Block<std::uint8_t> plane;
    need(plane.allocate(std::max<std::size_t>(r.page.pixelCount(), 1)));
    il::SplitImage(src, w, h, 4, w * 4, 3, plane.data(), w);
    il::CombineImageChannels(plane.data(), w, h, w, src, 4, w * 4, 1u);
    if (!runEffect(r, src, number, values, count, false)) return false;
    il::SplitImage(src, w, h, 4, w * 4, 0, plane.data(), w);
    source();
    if (!fromLayer) preAdjust(r, src);
    if (!runEffect(r, src, number, values, count, false)) return false;
    il::CombineImageChannels(plane.data(), w, h, w, src, 4, w * 4, 8u);
    if (!fromLayer) postAdjust(r, src);
    maskedLoad32(r, src);
    return false;  // the steps are its own
}

template <std::size_t N>
bool transported(FilterRun& r, std::int32_t number, const EffectValue (&values)[N], bool fromLayer) {
    return alphaTransport(r, number, values, static_cast<int>(N), fromLayer);
}

constexpr bool kRefreshed = false, kFromLayer = true;

// ---- pattern builder ------------------------------------------------------

// One effect on the tile, in the library's own channel order (no swap).
bool tileEffect(FilterRun& r, Block<std::uint8_t>& tile, std::int32_t tw, std::int32_t th, std::int32_t number,
                std::initializer_list<EffectValue> values) {
    el::LibraryState& lib = r.effects;
    if (!el::Initialize(lib)) return false;
    bool ok = el::AddEffect(lib, number, 1) != 0;
    for (const EffectValue& v : values) ok = ok && el::SetEffectValue(lib, 0, v.parameter, v.value) != 0;
    ok = ok && el::ExecuteScriptOnImage(lib, tile.data(), tw, th) != 0;
    el::Finish(lib);
    return ok;
}

}  // namespace

// ---- transform-list filters ----

bool elliptical(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddEllipticalTransform(l, w, h, t(r.p[1] * 0.01 * w), t(r.p[2] * 0.01 * h), 0, 0, r.option(1));
    });
}
bool lens(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddLensTransform(l, w, h, ofLongerSide(r, r.p[1]), 0, 0);
    });
}
bool marble(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddMarbleTransform(l, w, h, r.p[1] * 0.01 * 5 + 0.5, r.p[2] * 0.01 * 80 + 3,
                                      r.p[3] * 0.01 * 80 + 3);
    });
}
bool offset(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddOffsetTransform(l, w, h, centreX(r, r.p[1]), centreY(r, r.p[2]), r.option(1));
    });
}
bool pinch(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddPinchTransform(l, w, h, ofLongerSide(r, r.p[1]), t(r.p[2]), centreX(r, r.p[3]),
                                     centreY(r, r.p[4]));
    });
}
bool ripple(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddRippleTransform(l, w, h, ofLongerSide(r, r.p[1]), t(r.p[2]), t(r.p[3]), centreX(r, r.p[4]),
                                      centreY(r, r.p[5]), r.option(1));
    });
}
bool spin(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddSpinTransform(l, w, h, ofLongerSide(r, r.p[1]), t(3.6 * r.p[2] - 180), centreX(r, r.p[3]),
                                    centreY(r, r.p[4]));
    });
}
bool spinWave(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddSpinWaveTransform(l, w, h, ofLongerSide(r, r.p[1]), t(3.6 * r.p[2] - 180), t(r.p[3]),
                                        centreX(r, r.p[4]), centreY(r, r.p[5]));
    });
}
bool wave(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddWaveTransform(l, w, h, 0.2 * r.p[1], t(r.p[2]), r.option(1));
    });
}
bool wow(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddWowTransform(l, w, h, ofLongerSide(r, r.p[1]), r.option(1));
    });
}
bool zigZag(FilterRun& r) {
    return transformList(r, [&](el::TransformList& l, std::int32_t w, std::int32_t h) {
        return el::AddZigZagTransform(l, w, h, 0.2 * r.p[1], t(r.p[2]), r.option(1));
    });
}

// ---- polygon warps ----

bool perspective(FilterRun& r) { return polygonWarp(r, 0.01, perspectiveCorners); }
bool warp(FilterRun& r) { return polygonWarp(r, 0.01, warpCorners); }
bool warpEdge(FilterRun& r) { return polygonWarp(r, 0.04, warpEdgeCorners); }
bool warp3Point(FilterRun& r) { return polygonWarp(r, 0.04, warp3PointCorners); }
bool stretch(FilterRun& r) { return polygonWarp(r, 0.01, stretchCorners); }
bool stretchEdge(FilterRun& r) { return polygonWarp(r, 0.01, stretchEdgeCorners); }
bool verticalPivot(FilterRun& r) { return polygonWarp(r, 0.01, verticalPivotCorners); }
bool horizontalPivot(FilterRun& r) { return polygonWarp(r, 0.01, horizontalPivotCorners); }
bool skew(FilterRun& r) { return polygonWarp(r, 0.02, skewCorners); }

// ---- effects with alpha transport ----

bool twirl(FilterRun& r) {
    const EffectValue v[] = {{3, t(7.2 * r.p[1] - 360)}, {4, t(r.p[2])}, {5, t(r.p[3])}, {7, r.option(3)}};
    return transported(r, 6, v, kRefreshed);
}
bool sineDistortion(FilterRun& r) {
    const std::int32_t w = r.width(), h = r.height();
    const EffectValue v[] = {{3, t(r.p[1] * 0.01 * w)},     {4, t(r.p[2] * 0.01 * h)},     {5, t(r.p[3] / 3)},
                             {6, t(r.p[4] / 3)},            {7, t(r.p[5] * 0.01 * w - 1)}, {8, t(r.p[6] * 0.01 * h - 1)},
                             {9, r.option(3)}};
    return transported(r, 13, v, kRefreshed);
}
bool kaleidoscope(FilterRun& r) {
    const EffectValue v[] = {
        {3, t(r.p[1] * 0.01 * r.width())}, {4, t(r.p[2] * 0.01 * r.height())}, {5, t(r.p[3] / 3)}, {6, r.option(1)}};
    return transported(r, 49, v, kRefreshed);
}
bool scratch(FilterRun& r) {
    const EffectValue v[] = {{3, r.call.random}, {4, t(r.p[1])},   {5, t(4 * r.p[2])},
                             {6, t(3.6 * r.p[3])}, {7, r.option(3)}, {9, r.option(4)}};
    return transported(r, 56, v, kFromLayer);
}
bool waves(FilterRun& r) {
    const EffectValue v[] = {{3, t(10 * r.p[1])}, {4, t(5 * r.p[2])}, {6, t(3.6 * r.p[3])}, {5, r.option(3)}};
    return transported(r, 16, v, kRefreshed);
}
bool divider(FilterRun& r) {
    const EffectValue v[] = {{3, t(r.p[1])}, {4, t(r.p[2])}};
    return transported(r, 17, v, kFromLayer);
}
bool carpet(FilterRun& r) {
    const EffectValue v[] = {{3, t(5 * r.p[1])}, {4, t(5 * r.p[2])}};
    return transported(r, 18, v, kFromLayer);
}
bool glass(FilterRun& r) {
    const EffectValue v[] = {{3, r.call.random}, {4, t(10 * r.p[1])}, {5, t(0.25 * r.p[2])}};
    return transported(r, 39, v, kFromLayer);
}
bool voxel(FilterRun& r) {
    const EffectValue v[] = {{3, t(r.p[1] + 4)}};
    return transported(r, 22, v, kFromLayer);
}
bool zoom(FilterRun& r) {
    const EffectValue v[] = {
        {3, t(10 * r.p[1] + 1)}, {4, t(20 * r.p[2] - 1000)}, {5, t(20 * r.p[3] - 1000)}, {7, r.option(3)}};
    return transported(r, 50, v, kRefreshed);
}
bool rotate(FilterRun& r) {
    const EffectValue v[] = {{3, t(7.2 * r.p[1] - 360)}, {4, t(10 * r.p[2])}};
    return transported(r, 51, v, kRefreshed);
}
bool tilt(FilterRun& r) {
    const EffectValue v[] = {{3, t(20 * r.p[1] - 1000)}, {4, t(20 * r.p[2] - 1000)}};
    return transported(r, 54, v, kRefreshed);
}
bool seamless(FilterRun& r) {
    const EffectValue v[] = {{3, t(3 * r.p[1])}};
    return transported(r, 52, v, kFromLayer);
}

// ---- pattern builder ----

// The source, shrunk by p6, turned, waved, bent and mirrored about a point
// chosen by the random value, tiled over the page opaque.
bool patternizer(FilterRun& r) {
    std::uint8_t* src = r.page.processing.src32.data();
    const std::int32_t w = r.width(), h = r.height();
    std::int32_t tw = w, th = h;
    if (r.p[6] < 100) {
        tw = std::max(5, t(r.p[6] * 0.01 * w));
        th = std::max(5, t(r.p[6] * 0.01 * h));
    }
    Block<std::uint8_t> tile;
    need(tile.allocate(std::size_t(tw) * std::size_t(th) * 4));
    if (tw == w && th == h)
        std::memcpy(tile.data(), src, tile.size());
    else if (!il::ResizeImageBicubic(src, w, h, w * 4, tile.data(), tw, th, tw * 4, 4))
        return false;
    const float* p = r.p;
    if (p[4] != 50 && !tileEffect(r, tile, tw, th, 51, {{3, t(7.2 * p[4] - 360)}, {4, 100}})) return false;
    if ((p[1] > 0 || p[2] > 0) && !tileEffect(r, tile, tw, th, 16, {{3, t(10 * p[1])}, {4, t(p[2])}, {6, 0}, {5, 1}}))
        return false;
    if (p[3] > 0 && !tileEffect(r, tile, tw, th, 13,
                                {{3, t(0.2 * p[3])}, {4, t(0.2 * p[3])}, {5, 4}, {6, 4}, {7, 0}, {8, 0}, {9, 1}}))
        return false;
    if (r.optionByte(4) == 1 && !tileEffect(r, tile, tw, th, 6, {{3, 360}, {4, 3}, {5, 3}, {7, 1}})) return false;
    if (p[5] != 50 &&
        !tileEffect(r, tile, tw, th, 54, {{3, t((tw / 50) * p[5] - tw)}, {4, t((th / 50) * p[5] - th)}}))
        return false;
    const std::int32_t point = t(r.call.random / 32767.0 * tw * th);
    if (!tileEffect(r, tile, tw, th, 49, {{3, point % tw}, {4, point / th}, {5, r.optionByte(3) ? 2 : 1}, {6, 0}}))
        return false;
    for (std::int32_t y = 0; y < h; y += th)
        for (std::int32_t x = 0; x < w; x += tw) il::OverlayImage(tile.data(), tw, th, 4, tw * 4, src, w, h, w * 4, x, y, 1.0);
    for (std::size_t i = 0, n = r.page.pixelCount(); i < n; ++i) src[i * 4 + 3] = 255;
    maskedLoad32(r, src);
    return false;  // the steps are its own
}

}  // namespace plr::filter_ops
