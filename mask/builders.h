#pragma once
// Mask builders: each walks `count` pixels of a packed page-sized buffer and
// writes `value` into the mask where the pixel passes its test; every other
// mask value stays as it was. Callers turn a strength into `value` with
// strengthToMask (mask_values.h); tolerances are percentages and are turned
// into distances here.
#include <cstddef>
#include <cstdint>

namespace plr {

// Any of the four bytes differs between the RGBA32 images a and b.
void maskFromDiff(std::uint16_t* mask, std::size_t count, const std::uint8_t* a, const std::uint8_t* b,
                  std::uint16_t value) noexcept;
// Red, green and blue equal the reference exactly (alpha ignored).
void maskFromColourRGBA(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                        std::int32_t green, std::int32_t blue, std::uint16_t value) noexcept;
void maskFromColourRGB24(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgb, std::int32_t red,
                         std::int32_t green, std::int32_t blue, std::uint16_t value) noexcept;
// The flood map (one byte a pixel) holds 1.
void maskFromFloodMap(std::uint16_t* mask, std::size_t count, const std::uint8_t* map, std::uint16_t value) noexcept;

// t = trunc(tolerance * 2.56); a distance passes when |pixel - reference| <= t.
// Each of red, green, blue within t of the reference.
void maskFromColourRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                         std::int32_t green, std::int32_t blue, std::int32_t tolerance, std::uint16_t value) noexcept;
// The alpha byte within t of the reference alpha.
void maskFromAlphaRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t alpha,
                        std::int32_t tolerance, std::uint16_t value) noexcept;
// (b0 + b1 + b2) / 3 within t of (red + green + blue) / 3.
void maskFromLuminanceRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                            std::int32_t green, std::int32_t blue, std::int32_t tolerance,
                            std::uint16_t value) noexcept;

// The three-form hue test across the 0/360 seam: any of |trunc(h - h0)|,
// |trunc(h - (h0 - 360))|, |trunc(h - 360 - h0)| at most `degrees`.
bool hueWithin(double hue, double referenceHue, double degrees) noexcept;

// HSV hue (greys at -1) within trunc(tolerance * 1.8) degrees of the reference's.
void maskFromHueRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                      std::int32_t green, std::int32_t blue, std::int32_t tolerance, std::uint16_t value) noexcept;
// HSL: hue within hueTolerance * 180 degrees (three-form test), and saturation
// and lightness within their tolerances (fractions, not truncated).
void maskFromHslRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                      std::int32_t green, std::int32_t blue, double hueTolerance, double saturationTolerance,
                      double lightnessTolerance, std::uint16_t value) noexcept;
// The same two builders converting every pixel (the others remember repeated colours).
void maskFromHueRangePlain(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                           std::int32_t green, std::int32_t blue, std::int32_t tolerance,
                           std::uint16_t value) noexcept;
void maskFromHslRangePlain(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                           std::int32_t green, std::int32_t blue, double hueTolerance, double saturationTolerance,
                           double lightnessTolerance, std::uint16_t value) noexcept;

}  // namespace plr
