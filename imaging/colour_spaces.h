#pragma once
// Colour-space conversions between 8-bit RGB and HSV, HSL, CIE XYZ (D65),
// CIE L*a*b* and CMY/CMYK.
//
// Pure functions: no state, no allocation, no errors. All arithmetic is in
// double precision and every conversion back to RGB truncates toward zero
// (never rounds to nearest); the exact operation order below is part of the
// contract, because filters, brush effects, mask builders and scripts must
// produce the same bytes.
//
// Ranges:
//   RGB in    three integers 0..255 (red, green, blue), scaled by 1/255 inside
//   RGB out   three bytes; a result outside 0..255 (only possible for input
//             outside the ranges below) is pinned to 0 or 255, NaN gives 0
//   HSV       hue 0 <= h < 360 degrees, or -1 for a grey; s, v in 0..1
//   HSL       hue 0 <= h < 360 degrees (0 for a grey); s, l in 0..1
//   XYZ       0..100 scale, reference white D65 (95.047, 100, 108.883);
//             never negative
//   Lab       L* 0..100, a* and b* unbounded
//   CMY/CMYK  0..1
#include <cstdint>

namespace plr {

struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb8&, const Rgb8&) = default;
};
struct Hsv {
    double h = 0, s = 0, v = 0;
};
struct Hsl {
    double h = 0, s = 0, l = 0;
};
struct Xyz {
    double x = 0, y = 0, z = 0;
};
struct Lab {
    double l = 0, a = 0, b = 0;
};
struct Cmy {
    double c = 0, m = 0, y = 0;
};
struct Cmyk {
    double c = 0, m = 0, y = 0, k = 0;
};

// D65 reference white on the 0..100 scale.
inline constexpr double kWhiteX = 95.047;
inline constexpr double kWhiteY = 100.0;
inline constexpr double kWhiteZ = 108.883;

// Hue -1 and saturation 0 for a grey (all three channels equal).
Hsv RgbToHsv(int red, int green, int blue) noexcept;
// A hue of exactly 360 is taken as 0.
Rgb8 HsvToRgb(double hue, double saturation, double value) noexcept;

// Hue 0 and saturation 0 for a grey.
Hsl RgbToHsl(int red, int green, int blue) noexcept;
Rgb8 HslToRgb(double hue, double saturation, double lightness) noexcept;
// One channel of HslToRgb: the hue (degrees) is wrapped once into 0..360.
int HslHueToChannel(double m1, double m2, double hue) noexcept;

// sRGB to XYZ; negative components become 0.
Xyz RgbToXyz(int red, int green, int blue) noexcept;
// Pinned to 0..255 after truncation (out-of-gamut colours).
Rgb8 XyzToRgb(double x, double y, double z) noexcept;

Lab XyzToLab(double x, double y, double z) noexcept;
// Negative components become 0.
Xyz LabToXyz(double l, double a, double b) noexcept;
// LabToXyz followed by XyzToRgb.
Rgb8 LabToRgb(double l, double a, double b) noexcept;
// RgbToXyz followed by XyzToLab.
Lab RgbToLab(int red, int green, int blue) noexcept;

// K = min(1, C, M, Y); with K exactly 1 the other three are 0.
Cmyk CmyToCmyk(double c, double m, double y) noexcept;
// C = 1 - red/255 (likewise M, Y), then CmyToCmyk.
Cmyk RgbToCmyk(int red, int green, int blue) noexcept;
// Inputs expected in 0..1; they are not clamped.
Rgb8 CmykToRgb(double c, double m, double y, double k) noexcept;

// trunc(v) as a byte: toward zero, then pinned to 0..255; NaN gives 0.
constexpr std::uint8_t truncToByte(double v) noexcept {
    if (!(v > 0.0)) return 0;  // also NaN
    if (v >= 255.0) return 255;
    return static_cast<std::uint8_t>(static_cast<int>(v));
}

}  // namespace plr
