#include "adapters/imaging/filter_kernels.h"

#include <algorithm>
#include <cmath>

namespace plr::imaging_lib {
namespace {

constexpr double kPi = 3.14159265358979323846;

double sinc(double x) {
    if (x == 0.0) return 1.0;
    const double a = kPi * x;
    return std::sin(a) / a;
}

// Mitchell-Netravali cubics with parameters (b, c); (1, 0) is the B-spline,
// (0, 0.5) Catmull-Rom.
double bcCubic(double x, double b, double c) {
    x = std::fabs(x);
    if (x < 1.0)
        return ((12 - 9 * b - 6 * c) * x * x * x + (-18 + 12 * b + 6 * c) * x * x + (6 - 2 * b)) / 6.0;
    if (x < 2.0)
        return ((-b - 6 * c) * x * x * x + (6 * b + 30 * c) * x * x + (-12 * b - 48 * c) * x + (8 * b + 24 * c)) / 6.0;
    return 0.0;
}

// Keys' cubic convolution with sharpness a.
double keysCubic(double x, double a) {
    x = std::fabs(x);
    if (x < 1.0) return (a + 2) * x * x * x - (a + 3) * x * x + 1;
    if (x < 2.0) return a * x * x * x - 5 * a * x * x + 8 * a * x - 4 * a;
    return 0.0;
}

double box(double x) { return x >= -0.5 && x < 0.5 ? 1.0 : 0.0; }
double triangle(double x) { return std::max(0.0, 1.0 - std::fabs(x)); }
// Sinc under a raised-cosine window reaching 3 pixels.
double hamming(double x) { return std::fabs(x) < 3.0 ? sinc(x) * (0.54 + 0.46 * std::cos(kPi * x / 3.0)) : 0.0; }
double hanning(double x) { return std::fabs(x) < 3.0 ? sinc(x) * (0.5 + 0.5 * std::cos(kPi * x / 3.0)) : 0.0; }
double gaussian(double x) { return std::fabs(x) < 1.5 ? std::exp(-2.0 * x * x) : 0.0; }
double bell(double x) {
    x = std::fabs(x);
    if (x < 0.5) return 0.75 - x * x;
    if (x < 1.5) return 0.5 * (x - 1.5) * (x - 1.5);
    return 0.0;
}
double bSpline(double x) { return bcCubic(x, 1.0, 0.0); }
double cubic1(double x) { return keysCubic(x, -1.0); }
double cubic2(double x) { return keysCubic(x, -0.75); }
double lanczos3(double x) { return std::fabs(x) < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0; }
double mitchell(double x) { return bcCubic(x, 1.0 / 3.0, 1.0 / 3.0); }
// Plain sinc, cut off after four lobes.
double sincKernel(double x) { return std::fabs(x) < 4.0 ? sinc(x) : 0.0; }
double hermite(double x) {
    x = std::fabs(x);
    return x < 1.0 ? (2 * x - 3) * x * x + 1 : 0.0;
}
double catrom(double x) { return bcCubic(x, 0.0, 0.5); }

}  // namespace

const FilterKernel kFilterKernels[kFilterKernelCount] = {
    {"Box", 0.5, box},          {"Triangle", 1.0, triangle}, {"Hamming", 3.0, hamming},   {"Gaussian", 1.5, gaussian},
    {"Bell", 1.5, bell},        {"B-Spline", 2.0, bSpline},  {"Cubic 1", 2.0, cubic1},    {"Cubic 2", 2.0, cubic2},
    {"Lanczos3", 3.0, lanczos3}, {"Mitchell", 2.0, mitchell}, {"Sinc", 4.0, sincKernel}, {"Hermite", 1.0, hermite},
    {"Hanning", 3.0, hanning},  {"Catrom", 2.0, catrom},
};

bool buildAxisWeights(std::int32_t filter, std::int32_t srcLength, std::int32_t dstLength, int bits,
                      AxisWeights& out) noexcept {
    if (filter < 0 || filter >= kFilterKernelCount || srcLength < 1 || dstLength < 1) return false;
    const FilterKernel& k = kFilterKernels[filter];
    const double ratio = double(srcLength) / double(dstLength);
    const double widen = std::max(1.0, ratio);
    const double radius = k.support * widen;
    // Enough taps for the widest window, never more than the axis has.
    const std::int32_t taps =
        static_cast<std::int32_t>(std::min<double>(srcLength, std::floor(2.0 * radius) + 2.0));
    if (!out.start.allocate(std::size_t(dstLength)) ||
        !out.weights.allocate(std::size_t(dstLength) * std::size_t(taps)))
        return false;
    out.taps = taps;
    const std::int32_t one = 1 << bits;
    for (std::int32_t o = 0; o < dstLength; ++o) {
        const double centre = (o + 0.5) * ratio - 0.5;
        const std::int32_t lo = std::max<std::int32_t>(0, static_cast<std::int32_t>(std::ceil(centre - radius)));
        const std::int32_t hi =
            std::min<std::int32_t>(srcLength - 1, static_cast<std::int32_t>(std::floor(centre + radius)));
        const std::int32_t start = std::clamp(lo, 0, srcLength - taps);
        std::int32_t* w = out.weights.data() + std::size_t(o) * std::size_t(taps);
        std::fill(w, w + taps, 0);
        out.start[std::size_t(o)] = start;
        double sum = 0.0;
        for (std::int32_t j = lo; j <= hi; ++j) sum += k.weight((j - centre) / widen);
        if (hi < lo || std::fabs(sum) < 1e-9) {
            // No tap heard anything: take the nearest source pixel.
            const std::int32_t nearest = std::clamp(static_cast<std::int32_t>(std::floor(centre + 0.5)), 0, srcLength - 1);
            out.start[std::size_t(o)] = std::clamp(nearest, 0, srcLength - taps);
            w[nearest - out.start[std::size_t(o)]] = one;
            continue;
        }
        std::int32_t total = 0, largest = lo - start;
        for (std::int32_t j = lo; j <= hi; ++j) {
            const std::int32_t v = static_cast<std::int32_t>(std::lround(k.weight((j - centre) / widen) / sum * one));
            w[j - start] = v;
            total += v;
            if (v > w[largest]) largest = j - start;
        }
        w[largest] += one - total;
    }
    return true;
}

}  // namespace plr::imaging_lib
