#include "imaging/colour_spaces.h"

#include <cmath>

namespace plr {
namespace {

constexpr double kLabEpsilon = 0.008856;
constexpr double kLabKappa = 7.787;
constexpr double kLabOffset = 16.0 / 116.0;

double labF(double t) noexcept { return t > kLabEpsilon ? std::pow(t, 1.0 / 3.0) : kLabKappa * t + kLabOffset; }

double labFInverse(double f) noexcept {
    const double f3 = f * f * f;
    return f3 > kLabEpsilon ? f3 : (f - kLabOffset) / kLabKappa;
}

double srgbToLinear(int channel) noexcept {
    double v = channel / 255.0;
    v = v > 0.04045 ? std::pow((v + 0.055) / 1.055, 2.4) : v / 12.92;
    return v * 100.0;
}

double linearToSrgb(double v) noexcept {
    return v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v;
}

double notNegative(double v) noexcept { return v < 0.0 ? 0.0 : v; }

// Plain comparisons (std::fmax is a library call on the baseline target);
// the inputs come from integers, so NaN handling does not arise.
double max3(double a, double b, double c) noexcept {
    const double ab = a > b ? a : b;
    return ab > c ? ab : c;
}
double min3(double a, double b, double c) noexcept {
    const double ab = a < b ? a : b;
    return ab < c ? ab : c;
}

}  // namespace

Hsv RgbToHsv(int red, int green, int blue) noexcept {
    const double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    const double max = max3(r, g, b);
    const double min = min3(r, g, b);
    Hsv out;
    out.v = max;
    const double delta = max - min;
    if (delta == 0.0) {
        out.h = -1.0;
        out.s = 0.0;
        return out;
    }
    out.s = delta / max;
    double h;
    if (r == max)
        h = (g - b) / delta;
    else if (g == max)
        h = (b - r) / delta + 2.0;
    else
        h = (r - g) / delta + 4.0;
    h *= 60.0;
    if (h < 0.0) h += 360.0;
    out.h = h;
    return out;
}

Rgb8 HsvToRgb(double hue, double saturation, double value) noexcept {
    if (saturation == 0.0) {
        const std::uint8_t c = truncToByte(value * 255.0);
        return {c, c, c};
    }
    const double h = (hue == 360.0 ? 0.0 : hue) / 60.0;
    const double i = std::floor(h);
    const double f = h - i;
    const double p = value * (1.0 - saturation);
    const double q = value * (1.0 - saturation * f);
    const double t = value * (1.0 - saturation * (1.0 - f));
    // Sector by floor(h); anything outside 0..5 (hues out of range, NaN) is sector 1.
    const int sector = (i >= 0.0 && i <= 5.0) ? static_cast<int>(i) : 1;
    double r, g, b;
    switch (sector) {
        case 0: r = value, g = t, b = p; break;
        case 2: r = p, g = value, b = t; break;
        case 3: r = p, g = q, b = value; break;
        case 4: r = t, g = p, b = value; break;
        case 5: r = value, g = p, b = q; break;
        default: r = q, g = value, b = p; break;
    }
    return {truncToByte(r * 255.0), truncToByte(g * 255.0), truncToByte(b * 255.0)};
}

Hsl RgbToHsl(int red, int green, int blue) noexcept {
    const double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    const double max = max3(r, g, b);
    const double min = min3(r, g, b);
    Hsl out;
    out.l = (max + min) / 2.0;
    if (max == min) return out;  // grey: hue 0, saturation 0
    const double delta = max - min;
    out.s = out.l < 0.5 ? delta / (max + min) : delta / (2.0 - max - min);
    const double dR = ((max - r) / 6.0 + delta / 2.0) / delta;
    const double dG = ((max - g) / 6.0 + delta / 2.0) / delta;
    const double dB = ((max - b) / 6.0 + delta / 2.0) / delta;
    double h;
    if (r == max)
        h = dB - dG;
    else if (g == max)
        h = 1.0 / 3.0 + dR - dB;
    else
        h = 2.0 / 3.0 + dG - dR;
    if (h < 0.0) h += 1.0;
    if (h > 1.0) h -= 1.0;
    out.h = h * 360.0;
    return out;
}

int HslHueToChannel(double m1, double m2, double hue) noexcept {
    if (hue > 360.0)
        hue -= 360.0;
    else if (hue < 0.0)
        hue += 360.0;
    double v;
    if (hue < 60.0)
        v = m1 + (m2 - m1) * hue / 60.0;
    else if (hue < 180.0)
        v = m2;
    else if (hue < 240.0)
        v = m1 + (m2 - m1) * (240.0 - hue) / 60.0;
    else
        v = m1;
    return truncToByte(v * 255.0);
}

Rgb8 HslToRgb(double hue, double saturation, double lightness) noexcept {
    if (saturation == 0.0) {
        const std::uint8_t c = truncToByte(lightness * 255.0);
        return {c, c, c};
    }
    const double m2 = lightness < 0.5 ? lightness * (1.0 + saturation)
                                      : lightness + saturation - lightness * saturation;
    const double m1 = 2.0 * lightness - m2;
    return {static_cast<std::uint8_t>(HslHueToChannel(m1, m2, hue + 120.0)),
            static_cast<std::uint8_t>(HslHueToChannel(m1, m2, hue)),
            static_cast<std::uint8_t>(HslHueToChannel(m1, m2, hue - 120.0))};
}

Xyz RgbToXyz(int red, int green, int blue) noexcept {
    const double r = srgbToLinear(red), g = srgbToLinear(green), b = srgbToLinear(blue);
    return {notNegative(0.4124 * r + 0.3576 * g + 0.1805 * b),
            notNegative(0.2126 * r + 0.7152 * g + 0.0722 * b),
            notNegative(0.0193 * r + 0.1192 * g + 0.9505 * b)};
}

Rgb8 XyzToRgb(double x, double y, double z) noexcept {
    x /= 100.0;
    y /= 100.0;
    z /= 100.0;
    const double r = 3.2406 * x - 1.5372 * y - 0.4986 * z;
    const double g = -0.9689 * x + 1.8758 * y + 0.0415 * z;
    const double b = 0.0557 * x - 0.2040 * y + 1.0570 * z;
    return {truncToByte(linearToSrgb(r) * 255.0), truncToByte(linearToSrgb(g) * 255.0),
            truncToByte(linearToSrgb(b) * 255.0)};
}

Lab XyzToLab(double x, double y, double z) noexcept {
    const double fx = labF(x / kWhiteX), fy = labF(y / kWhiteY), fz = labF(z / kWhiteZ);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

Xyz LabToXyz(double l, double a, double b) noexcept {
    const double fy = (l + 16.0) / 116.0;
    const double fx = fy + a / 500.0;
    const double fz = fy - b / 200.0;
    return {notNegative(kWhiteX * labFInverse(fx)), notNegative(kWhiteY * labFInverse(fy)),
            notNegative(kWhiteZ * labFInverse(fz))};
}

Rgb8 LabToRgb(double l, double a, double b) noexcept {
    const Xyz xyz = LabToXyz(l, a, b);
    return XyzToRgb(xyz.x, xyz.y, xyz.z);
}

Lab RgbToLab(int red, int green, int blue) noexcept {
    const Xyz xyz = RgbToXyz(red, green, blue);
    return XyzToLab(xyz.x, xyz.y, xyz.z);
}

Cmyk CmyToCmyk(double c, double m, double y) noexcept {
    double k = 1.0;
    if (c < k) k = c;
    if (m < k) k = m;
    if (y < k) k = y;
    if (k == 1.0) return {0.0, 0.0, 0.0, 1.0};
    return {(c - k) / (1.0 - k), (m - k) / (1.0 - k), (y - k) / (1.0 - k), k};
}

Cmyk RgbToCmyk(int red, int green, int blue) noexcept {
    return CmyToCmyk(1.0 - red / 255.0, 1.0 - green / 255.0, 1.0 - blue / 255.0);
}

Rgb8 CmykToRgb(double c, double m, double y, double k) noexcept {
    return {truncToByte((1.0 - (k + (1.0 - k) * c)) * 255.0), truncToByte((1.0 - (k + (1.0 - k) * m)) * 255.0),
            truncToByte((1.0 - (k + (1.0 - k) * y)) * 255.0)};
}

}  // namespace plr
