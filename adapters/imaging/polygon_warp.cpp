#include "adapters/imaging/polygon_warp.h"

#include <cmath>
#include <limits>

#include "adapters/imaging/inverse_sampler.h"

namespace plr::imaging_lib {
namespace {

// 3 x 3 projective matrix, row major.
struct Projective {
    double m[9];
};

// The unit square (0,0), (1,0), (1,1), (0,1) onto the quadrilateral q.
bool squareTo(const WarpPoint* q, Projective& out) {
    const double x0 = q[0].x, y0 = q[0].y, x1 = q[1].x, y1 = q[1].y, x2 = q[2].x, y2 = q[2].y, x3 = q[3].x,
                 y3 = q[3].y;
    const double sx = x0 - x1 + x2 - x3, sy = y0 - y1 + y2 - y3;
    const double dx1 = x1 - x2, dx2 = x3 - x2, dy1 = y1 - y2, dy2 = y3 - y2;
    const double det = dx1 * dy2 - dx2 * dy1;
    if (det == 0) return false;
    const double g = (sx * dy2 - dx2 * sy) / det, h = (dx1 * sy - sx * dy1) / det;
    out = {{x1 - x0 + g * x1, x3 - x0 + h * x3, x0, y1 - y0 + g * y1, y3 - y0 + h * y3, y0, g, h, 1}};
    return true;
}

bool inverse(const Projective& a, Projective& out) {
    const double* m = a.m;
    const double c0 = m[4] * m[8] - m[5] * m[7], c1 = m[5] * m[6] - m[3] * m[8], c2 = m[3] * m[7] - m[4] * m[6];
    const double det = m[0] * c0 + m[1] * c1 + m[2] * c2;
    if (det == 0 || !std::isfinite(det)) return false;
    const double k = 1.0 / det;
    out = {{c0 * k, (m[2] * m[7] - m[1] * m[8]) * k, (m[1] * m[5] - m[2] * m[4]) * k, c1 * k,
            (m[0] * m[8] - m[2] * m[6]) * k, (m[2] * m[3] - m[0] * m[5]) * k, c2 * k,
            (m[1] * m[6] - m[0] * m[7]) * k, (m[0] * m[4] - m[1] * m[3]) * k}};
    return true;
}

struct QuadMap {
    Projective toUnit;    // destination -> unit square
    Projective fromUnit;  // unit square -> source
};

void quadRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    const QuadMap& q = *static_cast<const QuadMap*>(context);
    const double* a = q.toUnit.m;
    const double* b = q.fromUnit.m;
    constexpr double kSlack = 1e-9;
    for (std::int32_t x = 0; x < n; ++x) {
        const double w = a[6] * x + a[7] * y + a[8];
        const double u = (a[0] * x + a[1] * y + a[2]) / w, v = (a[3] * x + a[4] * y + a[5]) / w;
        if (!(u >= -kSlack && u <= 1 + kSlack && v >= -kSlack && v <= 1 + kSlack)) {
            xs[x] = ys[x] = std::numeric_limits<float>::quiet_NaN();  // outside the shape: left alone
            continue;
        }
        const double ws = b[6] * u + b[7] * v + b[8];
        xs[x] = static_cast<float>((b[0] * u + b[1] * v + b[2]) / ws);
        ys[x] = static_cast<float>((b[3] * u + b[4] * v + b[5]) / ws);
    }
}

struct Push {
    double fromX, fromY, toX, toY, radius;
};

void pushRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    const Push& p = *static_cast<const Push*>(context);
    const double dx = p.toX - p.fromX, dy = p.toY - p.fromY;
    for (std::int32_t x = 0; x < n; ++x) {
        const double r = std::hypot(x - p.toX, y - p.toY) / p.radius;
        const double k = r < 1 ? (1 - r * r) * (1 - r * r) : 0;
        xs[x] = static_cast<float>(x - dx * k);
        ys[x] = static_cast<float>(y - dy * k);
    }
}

}  // namespace

std::int32_t PolygonWarpImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                              std::int32_t srcStride, void* dst, std::int32_t dstStride, const WarpPoint* from,
                              const WarpPoint* to, std::int32_t grid, std::int32_t reserved1, std::int32_t reserved2,
                              std::int32_t edgeMode) noexcept {
    if (!from || !to || src == dst || bytesPerPixel != 4 || grid < 1 || reserved1 != 0 || reserved2 != 0) return 0;
    if (edgeMode < 0 || edgeMode > 3) return 0;
    // The corners go round the shape; the unit square's order is (0,0),
    // (1,0), (1,1), (0,1).
    Projective toShape, fromUnit;
    QuadMap q;
    if (!squareTo(to, toShape) || !inverse(toShape, q.toUnit) || !squareTo(from, fromUnit)) return 0;
    q.fromUnit = fromUnit;
    SampleSettings s;
    s.edge = static_cast<SampleEdge>(edgeMode);
    s.skipUnmapped = true;
    return InverseMapImage(static_cast<const std::uint8_t*>(src), width, height, srcStride,
                           static_cast<std::uint8_t*>(dst), dstStride, InverseMap{quadRow, &q}, s);
}

std::int32_t PushImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                       std::int32_t srcStride, void* dst, std::int32_t dstStride, WarpPoint from, WarpPoint to,
                       std::int32_t flags) noexcept {
    if (src == dst || bytesPerPixel != 4 || flags != 0) return 0;
    const double reach = std::hypot(double(to.x) - from.x, double(to.y) - from.y);
    const Push p{double(from.x), double(from.y), double(to.x), double(to.y), std::fmax(8.0, 2.0 * reach)};
    SampleSettings s;
    s.edge = SampleEdge::Nearest;
    return InverseMapImage(static_cast<const std::uint8_t*>(src), width, height, srcStride,
                           static_cast<std::uint8_t*>(dst), dstStride, InverseMap{pushRow, &p}, s);
}

}  // namespace plr::imaging_lib
