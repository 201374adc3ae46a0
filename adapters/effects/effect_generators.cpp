#include "adapters/effects/effect_generators.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "core/block.h"
#include "core/crt_random.h"

namespace plr::effect_lib {
namespace {

constexpr double kPi = 3.14159265358979323846;

// One generator run: the picture, the layer it draws (premultiplied BGRA,
// alpha = coverage) and the random stream.
struct Gen {
    cv::Mat img;
    cv::Mat layer;
    const std::int32_t* v;
    int colourAt;  // index of the red value, or -1 (grey)
    CrtRandom rng;
    // Work left, in pixels touched: a run stops drawing further shapes once
    // they have covered the picture kCoverings times over, so that a count of
    // millions of picture-sized shapes finishes (the last of them would only
    // paint over the earlier ones) instead of running for hours.
    double budget = 0;

    static constexpr double kCoverings = 64, kShapeOverhead = 16;
    void startBudget() { budget = kCoverings * double(img.cols) * img.rows + 65536; }
    // Spends one shape of about `pixels` pixels (no more than the picture),
    // drawn in `pieces` calls (the segments of a path: each call costs its
    // set-up however little of it lands on the picture); false when the work
    // is used up and the shape is not to be drawn.
    bool draws(double pixels, double pieces = 1) {
        if (budget <= 0) return false;
        budget -= kShapeOverhead * std::max(pieces, 1.0) + std::min(std::max(pixels, 0.0), double(img.cols) * img.rows);
        return true;
    }

    int value(int i, int lo, int hi) const { return std::clamp(v[i], lo, hi); }
    // 0..n-1 (0 when n < 1); n up to 2^30.
    int below(int n) {
        if (n <= 1) return 0;
        const std::uint32_t r = std::uint32_t(rng.next()) << 15 | std::uint32_t(rng.next());
        return static_cast<int>(r % std::uint32_t(n));
    }
    double unit() { return rng.next() / 32768.0; }
    // The base colour with each channel moved by up to `spread` percent, or a
    // random colour.
    cv::Scalar colour(int spread, bool random) {
        int c[3];
        for (int k = 0; k < 3; ++k) {
            const int base = colourAt < 0 ? 255 : value(colourAt + k, 0, 255);
            const int reach = std::clamp(spread, 0, 100) * 255 / 100;
            c[k] = random ? below(256) : std::clamp(base + (reach ? below(2 * reach + 1) - reach : 0), 0, 255);
        }
        return cv::Scalar(c[2], c[1], c[0], 255);
    }
};

// The drawing modes: the picture's channel d and the drawn colour s give m;
// the picture then moves toward m by the coverage.
using ModeFn = int (*)(int d, int s);
constexpr ModeFn kModes[] = {
    [](int, int s) { return s; },                                       // 0 replace
    [](int d, int s) { return std::min(255, d + s); },                  // 1 add
    [](int d, int s) { return std::max(0, d - s); },                    // 2 subtract
    [](int d, int s) { return d * s / 255; },                           // 3 multiply
    [](int d, int s) { return 255 - (255 - d) * (255 - s) / 255; },     // 4 screen
    [](int d, int s) { return std::min(d, s); },                        // 5 darken
    [](int d, int s) { return std::max(d, s); },                        // 6 lighten
    [](int d, int s) { return std::abs(d - s); },                       // 7 difference
    [](int d, int s) { return d < 128 ? 2 * d * s / 255 : 255 - 2 * (255 - d) * (255 - s) / 255; },  // 8 overlay
    [](int d, int s) { return (d + s) / 2; },                           // 9 average
    [](int d, int s) { return s < 128 ? 2 * d * s / 255 : 255 - 2 * (255 - d) * (255 - s) / 255; },  // 10 hard light
    [](int d, int) { return 255 - d; },                                 // 11 invert
    [](int, int s) { return s; },                                       // 12 normal
};

void compose(Gen& g, int mode) {
    const bool replace = mode == 0;
    const ModeFn fn = mode >= 0 && mode < int(std::size(kModes)) ? kModes[mode] : kModes[12];
    for (int y = 0; y < g.img.rows; ++y) {
        std::uint8_t* d = g.img.ptr<std::uint8_t>(y);
        const std::uint8_t* s = g.layer.ptr<std::uint8_t>(y);
        for (int x = 0; x < g.img.cols; ++x, d += 4, s += 4) {
            const int a = s[3];
            if (a == 0) continue;
            for (int c = 0; c < 3; ++c) {
                const int straight = std::min(255, s[c] * 255 / a);
                const int m = fn(d[c], straight);
                d[c] = static_cast<std::uint8_t>(replace ? m : d[c] + (m - d[c]) * a / 255);
            }
        }
    }
}

int lineType(bool smooth) { return smooth ? cv::LINE_AA : cv::LINE_8; }
int width(int w) { return std::max(1, w); }
cv::Point randomPoint(Gen& g) { return {g.below(g.img.cols), g.below(g.img.rows)}; }
// A size up to `largest`, less by up to `spread` percent.
int spreadSize(Gen& g, int largest, int spread) {
    const int cut = largest * std::clamp(spread, 0, 100) / 100;
    return std::max(1, largest - g.below(cut + 1));
}

void lines(Gen& g) {
    const int count = g.value(4, 0, 1 << 24), length = g.value(5, 1, 100000);
    const double angle = g.v[6] * kPi / 180.0, spread = g.value(17, 0, 100) / 100.0 * kPi;
    for (int i = 0; i < count; ++i) {
        const cv::Point a = randomPoint(g);
        const double t = angle + (g.unit() * 2 - 1) * spread, len = length * (0.5 + 0.5 * g.unit());
        if (!g.draws(len * width(g.value(7, 0, 25)))) break;
        const cv::Point b(a.x + int(std::cos(t) * len), a.y - int(std::sin(t) * len));
        cv::line(g.layer, a, b, g.colour(g.v[18], g.v[16] == 1), width(g.value(7, 0, 25)), lineType(g.v[15] == 1));
    }
}

void circles(Gen& g) {
    const int count = g.value(4, 0, 1 << 24), largest = g.value(5, 1, 100000), ring = g.value(7, 0, 25);
    for (int i = 0; i < count; ++i) {
        const cv::Point c = randomPoint(g);
        const int r = spreadSize(g, largest, g.v[17]);
        if (!g.draws(4.0 * r * r)) break;
        cv::circle(g.layer, c, r, g.colour(g.v[18], g.v[16] == 1), ring == 0 ? cv::FILLED : ring, lineType(g.v[15] == 1));
    }
}

void rectangles(Gen& g) {
    const int count = g.value(4, 0, 1 << 24), outline = g.value(7, 0, 25);
    const int largestW = g.value(5, 1, 100000), largestH = g.value(6, 1, 100000);
    for (int i = 0; i < count; ++i) {
        const cv::Point a = randomPoint(g);
        const cv::Point b(a.x + spreadSize(g, largestW, g.v[17]), a.y + spreadSize(g, largestH, g.v[17]));
        if (!g.draws(double(b.x - a.x) * (b.y - a.y))) break;
        cv::rectangle(g.layer, a, b, g.colour(g.v[18], g.v[16] == 1), outline == 0 ? cv::FILLED : outline,
                      lineType(g.v[15] == 1));
    }
}

constexpr int kSplinePoints = 64, kSplineSteps = 8;

void splines(Gen& g) {
    const int count = g.value(4, 0, 1 << 24), points = g.value(5, 2, kSplinePoints), reach = g.value(7, 1, 100000);
    cv::Point2d ctrl[kSplinePoints + 2];
    cv::Point curve[kSplinePoints * kSplineSteps + 1];
    for (int i = 0; i < count; ++i) {
        ctrl[1] = randomPoint(g);
        for (int k = 2; k <= points; ++k)
            ctrl[k] = ctrl[k - 1] + cv::Point2d((g.unit() * 2 - 1) * reach, (g.unit() * 2 - 1) * reach);
        ctrl[0] = ctrl[1], ctrl[points + 1] = ctrl[points];
        int n = 0;
        // Catmull-Rom through the control points.
        for (int k = 1; k < points; ++k)
            for (int s = 0; s < kSplineSteps; ++s) {
                const double t = double(s) / kSplineSteps, t2 = t * t, t3 = t2 * t;
                const cv::Point2d p = 0.5 * ((2 * ctrl[k]) + (ctrl[k + 1] - ctrl[k - 1]) * t +
                                             (2 * ctrl[k - 1] - 5 * ctrl[k] + 4 * ctrl[k + 1] - ctrl[k + 2]) * t2 +
                                             (3 * ctrl[k] - ctrl[k - 1] - 3 * ctrl[k + 1] + ctrl[k + 2]) * t3);
                curve[n++] = cv::Point(int(std::lround(p.x)), int(std::lround(p.y)));
            }
        curve[n++] = cv::Point(int(ctrl[points].x), int(ctrl[points].y));
        const cv::Point* pts = curve;
        const int thick = spreadSize(g, g.value(8, 1, 25), g.v[17]);
        if (!g.draws(double(points) * reach * thick, n - 1)) break;
        cv::polylines(g.layer, &pts, &n, 1, false, g.colour(g.v[18], g.v[16] == 1), thick, cv::LINE_AA);
    }
}

constexpr int kWormSteps = 2048;

void worms(Gen& g, Block<cv::Point>& path) {
    const int count = g.value(4, 0, 1 << 24), steps = g.value(5, 1, kWormSteps - 1);
    const double turn = g.value(6, 0, 3600) / 10.0 * kPi / 180.0;
    if (!path.allocate(kWormSteps)) return;
    for (int i = 0; i < count; ++i) {
        cv::Point2d p = randomPoint(g);
        double heading = g.unit() * 2 * kPi, bend = 0;
        int n = 0;
        path[n++] = p;
        for (int s = 0; s < steps; ++s) {
            bend = 0.8 * bend + 0.2 * (g.unit() * 2 - 1) * turn * 4;
            heading += std::clamp(bend, -turn, turn);
            p += cv::Point2d(std::cos(heading) * 2, std::sin(heading) * 2);
            path[n++] = cv::Point(int(std::lround(p.x)), int(std::lround(p.y)));
        }
        const cv::Point* pts = path.data();
        if (!g.draws(2.0 * steps * width(g.value(7, 0, 25)), steps)) break;
        cv::polylines(g.layer, &pts, &n, 1, false, g.colour(g.v[16], g.v[15] == 1), width(g.value(7, 0, 25)), cv::LINE_AA);
    }
}

void points(Gen& g) {
    const int count = g.value(4, 0, 1 << 26), r = g.value(5, 0, 25);
    for (int i = 0; i < count; ++i) {
        const cv::Point c = randomPoint(g);
        const cv::Scalar col = g.colour(g.v[14], g.v[13] == 1);
        if (!g.draws(r == 0 ? 1 : 4.0 * r * r)) break;
        if (r == 0) {
            std::uint8_t* px = g.layer.ptr<std::uint8_t>(c.y) + c.x * 4;
            for (int k = 0; k < 4; ++k) px[k] = static_cast<std::uint8_t>(col[k]);
        } else {
            cv::circle(g.layer, c, r, col, cv::FILLED, cv::LINE_AA);
        }
    }
}

void trees(Gen& g) {
    const int count = g.value(4, 0, 1 << 20), depth = g.value(6, 0, 10);
    const double spread = g.value(19, 0, 100) * 0.9 * kPi / 180.0, trunk = g.value(5, 1, 100000);
    struct Branch {
        cv::Point2d at;
        double heading, length, thick;
        int level;
    };
    Branch stack[2 * 11 + 2];
    for (int i = 0; i < count; ++i) {
        const cv::Scalar col = g.colour(g.v[17], g.v[16] == 1);
        int top = 0;
        stack[top++] = {cv::Point2d(g.below(g.img.cols), g.img.rows - 1 - g.below(std::max(1, g.img.rows / 4))),
                        kPi / 2 + (g.unit() - 0.5) * 0.2, trunk * (0.6 + 0.4 * g.unit()), double(g.value(8, 1, 25)), 0};
        while (top > 0) {
            const Branch b = stack[--top];
            if (!g.draws(b.length * b.thick)) return;
            const cv::Point2d end = b.at + cv::Point2d(std::cos(b.heading), -std::sin(b.heading)) * b.length;
            cv::line(g.layer, b.at, end, col, width(int(b.thick)), cv::LINE_AA);
            if (b.level >= depth) continue;
            for (int side = -1; side <= 1; side += 2)
                stack[top++] = {end, b.heading + side * spread * (0.6 + 0.4 * g.unit()), b.length * (0.55 + 0.2 * g.unit()),
                                b.thick * 0.7, b.level + 1};
        }
    }
}

void fibers(Gen& g) {
    const int strands = std::max(1, g.img.cols * g.value(4, 0, 10000) / 20), w = width(g.value(6, 0, 25));
    const int length = g.v[5] > 0 ? g.value(5, 1, 100000) : g.img.rows;
    const double wave = g.value(12, 0, 100) / 100.0;
    for (int i = 0; i < strands; ++i) {
        cv::Point2d p = randomPoint(g);
        p.y -= length / 2;
        double drift = 0;
        const cv::Scalar col = g.colour(g.v[11], false);
        if (!g.draws(double(length) * w, (length + 3) / 4)) break;
        // A segment draws within w / 2 and the smoothing pixels of its line:
        // one wholly beyond that margin of the picture is skipped.
        const double lo = -w - 2.0, top = g.img.rows + w + 2.0, right = g.img.cols + w + 2.0;
        for (int s = 0; s < length; s += 4) {
            drift = 0.9 * drift + (g.unit() * 2 - 1) * wave;
            const cv::Point2d q = p + cv::Point2d(drift, 4);
            const bool outside = (p.y < lo && q.y < lo) || (p.y > top && q.y > top) || (p.x < lo && q.x < lo) ||
                                 (p.x > right && q.x > right);
            if (!outside) cv::line(g.layer, p, q, col, w, cv::LINE_AA);
            p = q;
        }
    }
    const int soft = g.value(7, 0, 25);
    if (soft > 0) cv::GaussianBlur(g.layer, g.layer, cv::Size(0, 0), soft / 3.0 + 0.3);
}

// Field generators: a grey field per channel (one or three) in 0..1, then
// colour times field.
struct Fields {
    Block<float> plane[3];
    int count = 1;
    bool allocate(std::size_t n, int planes) {
        count = planes;
        for (int k = 0; k < planes; ++k)
            if (!plane[k].allocate(n)) return false;
        return true;
    }
};

void normalise(float* f, std::size_t n) {
    const auto [lo, hi] = std::minmax_element(f, f + n);
    const float a = *lo, span = *hi - *lo;
    for (std::size_t i = 0; i < n; ++i) f[i] = span > 0 ? (f[i] - a) / span : 0.5f;
}

void paintFields(Gen& g, const Fields& f) {
    const std::size_t w = std::size_t(g.img.cols);
    const cv::Scalar base = g.colour(0, false);
    for (int y = 0; y < g.img.rows; ++y) {
        std::uint8_t* s = g.layer.ptr<std::uint8_t>(y);
        for (std::size_t x = 0; x < w; ++x, s += 4) {
            const std::size_t i = std::size_t(y) * w + x;
            for (int c = 0; c < 3; ++c) {
                const float v = f.plane[f.count == 3 ? 2 - c : 0][i];  // BGRA: blue from plane 2
                s[c] = static_cast<std::uint8_t>(base[c] * std::clamp(v, 0.0f, 1.0f));
            }
            s[3] = 255;
        }
    }
}

// Midpoint displacement on the power-of-two grid covering the picture.
void plasmaField(Gen& g, float* out, double roughness, Block<float>& grid) {
    const int w = g.img.cols, h = g.img.rows;
    int side = 1;
    while (side < std::max(w, h)) side *= 2;
    const std::size_t n = std::size_t(side) + 1;
    if (!grid.allocate(n * n)) return;
    auto at = [&](int x, int y) -> float& { return grid[std::size_t(y) * n + std::size_t(x)]; };
    auto jitter = [&](double scale) { return float((g.unit() * 2 - 1) * scale); };
    at(0, 0) = jitter(1), at(side, 0) = jitter(1), at(0, side) = jitter(1), at(side, side) = jitter(1);
    double scale = 1.0;
    const double falloff = std::pow(2.0, -std::clamp(1.0 - roughness / 500.0, 0.05, 1.0));
    for (int step = side; step > 1; step /= 2, scale *= falloff) {
        const int half = step / 2;
        for (int y = half; y < side; y += step)
            for (int x = half; x < side; x += step)
                at(x, y) = (at(x - half, y - half) + at(x + half, y - half) + at(x - half, y + half) +
                            at(x + half, y + half)) / 4 + jitter(scale);
        for (int y = 0; y <= side; y += half)
            for (int x = (y / half) % 2 == 0 ? half : 0; x <= side; x += step) {
                float sum = 0;
                int k = 0;
                if (x >= half) sum += at(x - half, y), ++k;
                if (x + half <= side) sum += at(x + half, y), ++k;
                if (y >= half) sum += at(x, y - half), ++k;
                if (y + half <= side) sum += at(x, y + half), ++k;
                at(x, y) = sum / k + jitter(scale);
            }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out[std::size_t(y) * w + x] = at(x, y);
    normalise(out, std::size_t(w) * h);
}

// Lattice noise with a seeded permutation: value noise (smooth = false
// gives the plain lattice values) or gradient noise.
struct Lattice {
    std::uint8_t perm[512];
    explicit Lattice(Gen& g) {
        for (int i = 0; i < 256; ++i) perm[i] = std::uint8_t(i);
        for (int i = 255; i > 0; --i) std::swap(perm[i], perm[g.below(i + 1)]);
        for (int i = 0; i < 256; ++i) perm[256 + i] = perm[i];
    }
    int hash(int x, int y) const { return perm[(perm[x & 255] + y) & 255]; }
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    double value(double x, double y) const {
        const int xi = int(std::floor(x)), yi = int(std::floor(y));
        const double u = fade(x - xi), v = fade(y - yi);
        auto val = [&](int a, int b) { return hash(a, b) / 255.0; };
        const double top = val(xi, yi) + (val(xi + 1, yi) - val(xi, yi)) * u;
        const double bottom = val(xi, yi + 1) + (val(xi + 1, yi + 1) - val(xi, yi + 1)) * u;
        return top + (bottom - top) * v;
    }
    double gradient(double x, double y) const {
        const int xi = int(std::floor(x)), yi = int(std::floor(y));
        const double fx = x - xi, fy = y - yi, u = fade(fx), v = fade(fy);
        auto dot = [&](int a, int b, double dx, double dy) {
            const int h = hash(a, b) & 7;
            static constexpr double gx[8] = {1, -1, 1, -1, 1.4142, -1.4142, 0, 0};
            static constexpr double gy[8] = {1, 1, -1, -1, 0, 0, 1.4142, -1.4142};
            return gx[h] * dx + gy[h] * dy;
        };
        const double top = dot(xi, yi, fx, fy) + (dot(xi + 1, yi, fx - 1, fy) - dot(xi, yi, fx, fy)) * u;
        const double bottom =
            dot(xi, yi + 1, fx, fy - 1) + (dot(xi + 1, yi + 1, fx - 1, fy - 1) - dot(xi, yi + 1, fx, fy - 1)) * u;
        return top + (bottom - top) * v;
    }
};

template <class Sample>
void octaves(const Gen& g, float* out, double cell, double persistence, int count, Sample sample) {
    const int w = g.img.cols, h = g.img.rows;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double sum = 0, amp = 1, freq = 1.0 / cell;
            for (int o = 0; o < count; ++o, amp *= persistence, freq *= 2) sum += amp * sample(x * freq + o * 17.0, y * freq + o * 31.0);
            out[std::size_t(y) * w + x] = float(sum);
        }
    normalise(out, std::size_t(w) * h);
}

bool fieldGenerator(Gen& g, int planes, void (*fill)(Gen&, float*)) {
    Fields f;
    if (!f.allocate(std::size_t(g.img.cols) * std::size_t(g.img.rows), planes)) return false;
    for (int k = 0; k < planes; ++k) fill(g, f.plane[k].data());
    paintFields(g, f);
    return true;
}

bool plasma(Gen& g) {
    Fields f;
    Block<float> grid;
    const int planes = g.v[12] == 1 ? 3 : 1;
    if (!f.allocate(std::size_t(g.img.cols) * std::size_t(g.img.rows), planes)) return false;
    for (int k = 0; k < planes; ++k) {
        plasmaField(g, f.plane[k].data(), g.value(4, 0, 500), grid);
        if (grid.empty()) return false;
    }
    paintFields(g, f);
    return true;
}

bool perlin(Gen& g) {
    return fieldGenerator(g, g.v[13] == 1 ? 3 : 1, [](Gen& gen, float* out) {
        const Lattice lat(gen);
        const double cell = std::max(2.0, gen.value(4, 1, 101) / 100.0 * std::max(gen.img.cols, gen.img.rows) / 2);
        octaves(gen, out, cell, gen.value(5, 1, 101) / 101.0, 5, [&](double x, double y) { return lat.gradient(x, y); });
    });
}

bool fractalPlasma(Gen& g) {
    return fieldGenerator(g, g.v[11] == 1 ? 3 : 1, [](Gen& gen, float* out) {
        const Lattice lat(gen);
        const double cell = std::max(2.0, std::max(gen.img.cols, gen.img.rows) / 4.0);
        octaves(gen, out, cell, 0.5, 6, [&](double x, double y) { return lat.value(x, y); });
    });
}

bool noise(Gen& g) {
    return fieldGenerator(g, g.v[14] == 1 ? 3 : 1, [](Gen& gen, float* out) {
        const int cw = gen.value(4, 1, 100000), ch = gen.value(5, 1, 100000), w = gen.img.cols, h = gen.img.rows;
        const double contrast = gen.value(6, 0, 100) / 100.0;
        for (int cy = 0; cy < h; cy += ch)
            for (int cx = 0; cx < w; cx += cw) {
                const float v = float(0.5 + (gen.unit() - 0.5) * contrast);
                for (int y = cy; y < std::min(h, cy + ch); ++y)
                    std::fill(out + std::size_t(y) * w + cx, out + std::size_t(y) * w + std::min(w, cx + cw), v);
            }
    });
}

bool blobs(Gen& g) {
    Block<float> field;
    const int w = g.img.cols, h = g.img.rows;
    if (!field.allocate(std::size_t(w) * h)) return false;
    std::fill(field.data(), field.data() + field.size(), 0.0f);
    const int count = g.value(4, 0, 1 << 20), largest = g.value(5, 1, 100000);
    for (int i = 0; i < count; ++i) {
        const cv::Point c = randomPoint(g);
        const int r = spreadSize(g, largest, 60);
        if (!g.draws(4.0 * r * r)) break;
        const double inv = 1.0 / (double(r) * r);
        for (int y = std::max(0, c.y - r); y <= std::min(h - 1, c.y + r); ++y)
            for (int x = std::max(0, c.x - r); x <= std::min(w - 1, c.x + r); ++x) {
                const double d = ((x - c.x) * double(x - c.x) + (y - c.y) * double(y - c.y)) * inv;
                if (d < 1) field[std::size_t(y) * w + x] += float((1 - d) * (1 - d));
            }
    }
    const bool hard = g.v[14] == 1;
    const cv::Scalar col = g.colour(0, false);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* s = g.layer.ptr<std::uint8_t>(y);
        for (int x = 0; x < w; ++x, s += 4) {
            const float f = field[std::size_t(y) * w + x];
            const int a = hard ? (f >= 0.5f ? 255 : 0) : int(std::min(1.0f, f * 2) * 255);
            for (int c = 0; c < 3; ++c) s[c] = static_cast<std::uint8_t>(col[c] * a / 255);
            s[3] = static_cast<std::uint8_t>(a);
        }
    }
    return true;
}

bool sinePlasma(Gen& g) {
    return fieldGenerator(g, 1, [](Gen& gen, float* out) {
        const int w = gen.img.cols, h = gen.img.rows;
        const double fx = gen.value(3, 0, 1000) * 2 * kPi / w, fy = gen.value(4, 0, 1000) * 2 * kPi / h;
        const double fd = gen.value(5, 0, 10000) / 10.0 * 2 * kPi / (w + h);
        const double fr = gen.value(6, 0, 10000) / 10.0 * 2 * kPi / std::max(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double r = std::hypot(x - w / 2.0, y - h / 2.0);
                out[std::size_t(y) * w + x] =
                    float((std::sin(x * fx) + std::sin(y * fy) + std::sin((x + y) * fd) + std::cos(r * fr) + 4) / 8);
            }
    });
}

// Grey level of pattern `kind` at (x, y) within cells of cw x ch with lines
// of weight `line` (fraction of the cell): 1 = light, 0 = dark.
float patternAt(int kind, int x, int y, int cw, int ch, double line) {
    const int row = y / ch, col = x / cw;
    const double fx = double(x % cw) / cw, fy = double(y % ch) / ch;
    switch (kind) {
        case 1: return fy < line ? 0.0f : 1.0f;  // stripes
        case 2: {                                  // bricks: rows shifted by half a brick
            const double bx = std::fmod(x / double(cw) + (row % 2) * 0.5, 1.0);
            return (fy < line || bx < line / 2) ? 0.0f : 1.0f;
        }
        case 3: {  // dots
            const double dx = fx - 0.5, dy = fy - 0.5;
            return dx * dx + dy * dy < 0.25 * (1 - line) * (1 - line) ? 1.0f : 0.0f;
        }
        case 4: {  // weave: threads over and under by cell parity
            const bool across = (row + col) % 2 == 0;
            const double f = across ? fy : fx;
            return float(std::sin(f * kPi) * (1 - line * 0.5));
        }
        case 5: {  // diamonds
            const double d = std::abs(fx - 0.5) + std::abs(fy - 0.5);
            return d > 0.5 - line / 2 ? 0.0f : 1.0f;
        }
        default: return (row + col) % 2 == 0 ? 1.0f : 0.0f;  // checks
    }
}

bool pattern(Gen& g) {
    g.colourAt = -1;
    return fieldGenerator(g, 1, [](Gen& gen, float* out) {
        const int w = gen.img.cols, h = gen.img.rows;
        const int kind = ((gen.v[6] % 6) + 6) % 6, cw = gen.value(3, 2, 100000), ch = gen.value(4, 2, 100000);
        const double line = gen.value(12, 0, 100) / 100.0, contrast = gen.value(11, 0, 100) / 100.0;
        const bool invert = gen.v[13] == 1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float v = patternAt(kind, x, y, cw, ch, line);
                out[std::size_t(y) * w + x] = float(0.5 + ((invert ? 1 - v : v) - 0.5) * contrast);
            }
        const int soft = gen.value(5, 0, 25);
        if (soft > 0) {
            cv::Mat f(h, w, CV_32F, out);
            cv::GaussianBlur(f, f, cv::Size(0, 0), soft / 3.0 + 0.3);
        }
    });
}

struct Generator {
    std::int32_t number;
    int blendAt, colourAt;
    bool seeded;
    bool (*run)(Gen&);
};

template <void (*Draw)(Gen&)>
bool shapes(Gen& g) {
    Draw(g);
    return true;
}

bool wormsRun(Gen& g) {
    Block<cv::Point> path;
    worms(g, path);
    return !path.empty() || g.v[4] <= 0;
}

constexpr Generator kGenerators[] = {
    {1, 14, 8, true, shapes<lines>},   {2, 14, 8, true, shapes<circles>}, {3, 14, 8, true, shapes<rectangles>},
    {4, 15, 9, true, shapes<splines>}, {5, 11, 5, true, plasma},          {11, 12, 6, true, perlin},
    {20, 13, 7, true, blobs},          {21, 13, 7, true, noise},          {24, 13, 7, false, sinePlasma},
    {37, 14, 8, true, wormsRun},       {42, 10, -1, false, pattern},      {43, 12, 6, true, shapes<points>},
    {55, 10, 4, true, fractalPlasma},  {58, 15, 9, true, shapes<trees>},  {59, 16, 8, true, shapes<fibers>},
};

}  // namespace

bool knownGenerator(std::int32_t number) noexcept {
    return std::any_of(std::begin(kGenerators), std::end(kGenerators),
                       [&](const Generator& e) { return e.number == number; });
}

bool runGenerator(std::int32_t number, const std::int32_t* values, std::uint8_t* bgra, std::int32_t width,
                  std::int32_t height) noexcept {
    if (!values || !bgra || width < 1 || height < 1) return false;
    for (const Generator& e : kGenerators) {
        if (e.number != number) continue;
        try {
            Block<std::uint8_t> layer;
            if (!layer.allocate(std::size_t(width) * std::size_t(height) * 4)) return false;
            std::fill(layer.data(), layer.data() + layer.size(), std::uint8_t{0});
            Gen g{cv::Mat(height, width, CV_8UC4, bgra), cv::Mat(height, width, CV_8UC4, layer.data()), values,
                  e.colourAt, {}};
            g.rng.seed(e.seeded ? static_cast<std::uint32_t>(values[3]) : 1u);
            g.startBudget();
            if (!e.run(g)) return false;
            compose(g, values[e.blendAt]);
            return true;
        } catch (...) {
            return false;
        }
    }
    return false;
}

}  // namespace plr::effect_lib
