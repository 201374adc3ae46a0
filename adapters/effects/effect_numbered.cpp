#include "adapters/effects/effect_numbered.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/effects/effect_distort.h"
#include "adapters/effects/effect_generators.h"
#include "adapters/effects/effect_library.h"

namespace plr::effect_lib {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint8_t toByte(double v) { return static_cast<std::uint8_t>(v <= 0 ? 0 : v >= 255 ? 255 : static_cast<int>(v + 0.5)); }

// Luma of a BGRA pixel.
int lumaBgra(const std::uint8_t* p) { return (29 * p[0] + 150 * p[1] + 77 * p[2] + 128) >> 8; }

cv::Mat lumaPlane(const cv::Mat& bgra) {
    cv::Mat grey(bgra.rows, bgra.cols, CV_32F);
    for (int y = 0; y < bgra.rows; ++y)
        for (int x = 0; x < bgra.cols; ++x) grey.ptr<float>(y)[x] = static_cast<float>(lumaBgra(bgra.ptr<std::uint8_t>(y) + x * 4));
    return grey;
}

// Light falling on the height field `h` (scaled by `depth`) from (azimuth,
// elevation), relative to flat ground: 1 on the flat, more on slopes facing
// the light.
cv::Mat relief(const cv::Mat& h, double depth, double azimuthDeg, double elevationDeg) {
    cv::Mat gx, gy, out(h.rows, h.cols, CV_32F);
    cv::Sobel(h, gx, CV_32F, 1, 0, 3, depth / 8.0 / 255.0 * 4.0, 0, cv::BORDER_REPLICATE);
    cv::Sobel(h, gy, CV_32F, 0, 1, 3, depth / 8.0 / 255.0 * 4.0, 0, cv::BORDER_REPLICATE);
    const double az = azimuthDeg * kPi / 180.0, el = std::clamp(elevationDeg, 1.0, 179.0) * kPi / 180.0;
    const double lx = std::cos(az) * std::cos(el), ly = -std::sin(az) * std::cos(el), lz = std::sin(el);
    for (int y = 0; y < h.rows; ++y)
        for (int x = 0; x < h.cols; ++x) {
            const double nx = -gx.ptr<float>(y)[x], ny = -gy.ptr<float>(y)[x];
            const double shade = (nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1.0);
            out.ptr<float>(y)[x] = static_cast<float>(std::max(0.0, shade) / lz);
        }
    return out;
}

void edge(cv::Mat& img, const std::int32_t* v) {
    const double gain = std::clamp(v[3], 1, 255) / 64.0;
    const double floor = std::clamp(v[4], 0, 100) * 2.55;
    const double keep = std::clamp(v[5], 0, 100) / 100.0;
    cv::Mat gx, gy;
    cv::Sobel(img, gx, CV_16S, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
    cv::Sobel(img, gy, CV_16S, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
    for (int y = 0; y < img.rows; ++y) {
        std::uint8_t* p = img.ptr<std::uint8_t>(y);
        const std::int16_t* a = gx.ptr<std::int16_t>(y);
        const std::int16_t* b = gy.ptr<std::int16_t>(y);
        for (int i = 0; i < img.cols * 4; ++i) {
            if (i % 4 == 3) continue;
            double e = (std::abs(a[i]) + std::abs(b[i])) / 4.0 * gain;
            if (e < floor) e = 0;
            p[i] = toByte(std::min(255.0, e + p[i] * keep));
        }
    }
}

void emboss(cv::Mat& img, const std::int32_t* v) {
    const cv::Mat shade = relief(lumaPlane(img), std::clamp(v[3], 1, 256), v[4], v[5]);
    const double keep = std::clamp(v[7], 0, 100) / 100.0;
    for (int y = 0; y < img.rows; ++y) {
        std::uint8_t* p = img.ptr<std::uint8_t>(y);
        for (int x = 0; x < img.cols; ++x) {
            const double s = shade.ptr<float>(y)[x];
            for (int c = 0; c < 3; ++c) p[x * 4 + c] = toByte(128.0 * s * (1.0 - keep) + p[x * 4 + c] * s * keep);
        }
    }
}

void rank(cv::Mat& img, const std::int32_t* v, bool maximum) {
    const int r = std::clamp(v[3], 0, 500);
    if (r == 0) return;
    cv::Mat out;
    const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * r + 1, 2 * r + 1));
    if (maximum)
        cv::dilate(img, out, square, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
    else
        cv::erode(img, out, square, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
    for (int y = 0; y < img.rows; ++y) {
        std::uint8_t* p = img.ptr<std::uint8_t>(y);
        const std::uint8_t* s = out.ptr<std::uint8_t>(y);
        for (int i = 0; i < img.cols * 4; ++i)
            if (i % 4 != 3) p[i] = s[i];
    }
}

void bump(cv::Mat& img, const std::int32_t* v) {
    cv::Mat h = lumaPlane(img);
    const double soft = std::clamp(v[4], 1, 51) / 4.0;
    cv::GaussianBlur(h, h, cv::Size(0, 0), soft, soft, cv::BORDER_REPLICATE);
    const cv::Mat shade = relief(h, std::clamp(v[3], 1, 256) / 16.0, 135.0, 45.0);
    const double shift = std::clamp(v[5], -25, 25) * 2.55;
    for (int y = 0; y < img.rows; ++y) {
        std::uint8_t* p = img.ptr<std::uint8_t>(y);
        for (int x = 0; x < img.cols; ++x)
            for (int c = 0; c < 3; ++c) p[x * 4 + c] = toByte(p[x * 4 + c] * shade.ptr<float>(y)[x] + shift);
    }
}

double hueChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

void colorize(cv::Mat& img, const std::int32_t* v) {
    const double hue = std::clamp(v[3], 0, 255) / 256.0, sat = std::clamp(v[4], 0, 255) / 255.0;
    const int light = std::clamp(v[5], 0, 255);
    // HSL colour of every luma, worked once.
    std::uint8_t table[256][3];
    for (int l = 0; l < 256; ++l) {
        double L = l / 255.0;
        L = light >= 128 ? L + (1 - L) * (light - 128) / 127.0 : L * light / 128.0;
        const double q = L < 0.5 ? L * (1 + sat) : L + sat - L * sat, p = 2 * L - q;
        table[l][2] = toByte(255 * hueChannel(p, q, hue + 1.0 / 3));
        table[l][1] = toByte(255 * hueChannel(p, q, hue));
        table[l][0] = toByte(255 * hueChannel(p, q, hue - 1.0 / 3));
    }
    for (int y = 0; y < img.rows; ++y) {
        std::uint8_t* p = img.ptr<std::uint8_t>(y);
        for (int x = 0; x < img.cols; ++x) {
            const std::uint8_t* c = table[lumaBgra(p + x * 4)];
            p[x * 4] = c[0], p[x * 4 + 1] = c[1], p[x * 4 + 2] = c[2];
        }
    }
}

// A distortion of effect_distort.h as a row of the table below; a failure
// (work memory short) leaves through the table's catch.
template <std::int32_t N>
void distortion(cv::Mat& m, const std::int32_t* v) {
    if (!runDistortion(N, m.data, m.cols, m.rows, v)) throw std::bad_alloc();
}

struct NumberedEffect {
    std::int32_t number;
    void (*run)(cv::Mat& bgra, const std::int32_t* values);
};

constexpr NumberedEffect kEffects[] = {
    {19, edge},
    {23, emboss},
    {25, [](cv::Mat& m, const std::int32_t* v) { rank(m, v, true); }},
    {26, [](cv::Mat& m, const std::int32_t* v) { rank(m, v, false); }},
    {27, bump},
    {28, colorize},
    {6, distortion<6>},
    {13, distortion<13>},
    {16, distortion<16>},
    {17, distortion<17>},
    {18, distortion<18>},
    {22, distortion<22>},
    {39, distortion<39>},
    {49, distortion<49>},
    {50, distortion<50>},
    {52, distortion<52>},
    {54, distortion<54>},
    {56, distortion<56>},
};

}  // namespace

bool knownEffect(std::int32_t number) noexcept {
    if (number == 51 || knownGenerator(number)) return true;
    return std::any_of(std::begin(kEffects), std::end(kEffects), [&](const NumberedEffect& e) { return e.number == number; });
}

bool runNumberedEffect(std::int32_t number, const std::int32_t* values, std::uint8_t* bgra, std::int32_t width,
                       std::int32_t height) noexcept {
    if (!bgra || width < 1 || height < 1) return false;
    if (knownGenerator(number)) return runGenerator(number, values, bgra, width, height);
    if (number == 51) return rotateImage(bgra, width, height, values[3], values[4] == 0 ? 100.0 : values[4]);
    for (const NumberedEffect& e : kEffects) {
        if (e.number != number) continue;
        try {
            cv::Mat img(height, width, CV_8UC4, bgra);
            e.run(img, values);
            return true;
        } catch (...) {
            return false;
        }
    }
    return false;
}

}  // namespace plr::effect_lib
