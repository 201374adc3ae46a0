#pragma once
// Filters family: tone and colour. In place on rasters of 3 or 4 bytes a
// pixel (red, green, blue[, alpha]) unless said otherwise; alpha is never
// changed. Every call returns 1 on success and 0, changing nothing, for bad
// arguments or when work memory cannot be had.
#include <cstdint>

namespace plr::imaging_lib {

// brightness and contrast in -1..1 (0 = unchanged): v = (v - 128) f + 128 +
// 255 brightness, f = 1 + contrast below 0 and 1 / (1 - contrast) above
// (contrast 1 thresholds at mid-grey). `flags` is unused.
std::int32_t AdjustBrightnessContrast(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                      std::int32_t stride, double brightness, double contrast,
                                      std::int32_t flags) noexcept;

// v = 255 (v / 255)^(1 / gamma): gamma above 1 lightens the mid-tones, below 1
// darkens them; gamma 0 or less counts as 0.01. `flags` is unused.
std::int32_t AdjustGamma(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, double gamma, std::int32_t flags) noexcept;

// Histogram equalisation into low..high (a low above high inverts). The
// plain call equalises each channel of `channelMask` (alpha included when
// bit 3 is set) on its own; the brightness call equalises the luma and
// scales the colour channels with it, which keeps hues.
std::int32_t HistogramEqualizeImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                    std::int32_t stride, std::int32_t low, std::int32_t high,
                                    std::int32_t channelMask) noexcept;
std::int32_t BrightnessHistogramEqualizeImage(std::uint8_t* px, std::int32_t width, std::int32_t height,
                                              std::int32_t bpp, std::int32_t stride, std::int32_t low,
                                              std::int32_t high, std::int32_t channelMask) noexcept;

// Histogram stretch: the darkest lowPercent / 2 and the brightest
// highPercent / 2 percent of the pixels (0..100 each, so each end clips at
// most half) are clipped and the range between them is spread over 0..255. The plain call stretches each channel of `channelMask` (0 counts as
// the colour channels); the brightness call stretches the luma and scales the
// colours; the HSL call stretches HSL lightness, keeping hue and saturation.
// `flags` is unused.
std::int32_t HistogramStretchImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                   std::int32_t stride, double lowPercent, double highPercent, std::int32_t flags,
                                   std::int32_t channelMask) noexcept;
std::int32_t BrightnessHistogramStretchImage(std::uint8_t* px, std::int32_t width, std::int32_t height,
                                             std::int32_t bpp, std::int32_t stride, double lowPercent,
                                             double highPercent, std::int32_t flags,
                                             std::int32_t channelMask) noexcept;
std::int32_t BrightnessHistogramStretchImageInHSL(std::uint8_t* px, std::int32_t width, std::int32_t height,
                                                  std::int32_t bpp, std::int32_t stride, double lowPercent,
                                                  double highPercent, std::int32_t flags) noexcept;

// Colour balance: shifts (red, green, blue, each -100..100 percent of the
// range) for the shadows, the mid-tones and the highlights, each weighted by
// how much the pixel's lightness belongs to that range, then `lightness`
// (-100..100) added to all three. `flags` is unused.
struct ColourBalance {
    std::int32_t shadows[3], midtones[3], highlights[3];
};
std::int32_t AdjustImageColorBalance(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                     std::int32_t stride, const ColourBalance& balance, std::int32_t lightness,
                                     std::int32_t flags) noexcept;

// Duotone: black stays black and white stays white, mid-grey becomes the
// packed colour (red low byte); the luma runs through black, colour, white.
std::int32_t DuotoneImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                          std::int32_t stride, std::uint32_t colour, std::int32_t flags) noexcept;

// Saturation: v = luma + (v - luma) factor (0 grey, 1 unchanged, above 1
// richer, below 0 the complementary hues).
std::int32_t ModifyImageSaturation(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                   std::int32_t stride, double factor) noexcept;

// Negative (v = 255 - v), posterize (four levels a channel: 0, 85, 170, 255)
// and solarize (values above 127 inverted) of the colour channels. `flags`
// is unused.
std::int32_t InvertImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::int32_t flags) noexcept;
std::int32_t PosterizeRGB(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                          std::int32_t stride, std::int32_t flags) noexcept;
std::int32_t SolarizeImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t flags) noexcept;

// Threshold: pixels whose luma lies in low..high become white, the others
// black, in the colour channels of `channelMask`; alpha stays (bit 3 is
// accepted and ignored: a thresholded alpha would punch holes).
std::int32_t ThresholdFilter(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                             std::int32_t stride, std::int32_t low, std::int32_t high,
                             std::int32_t channelMask) noexcept;

// Tint: turns the hues by `degrees` in the YIQ plane, which keeps the luma
// of every pixel, as the tint control of a television does. `flags` unused.
std::int32_t AdjustTint(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                        std::int32_t stride, std::int32_t degrees, std::int32_t flags) noexcept;

// Deinterlace: mode 1 repeats each even row over the odd row below it; any
// other mode replaces odd rows by the mean of the rows above and below.
std::int32_t Deinterlace(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::int32_t mode) noexcept;

// Mean and standard deviation of the channels in `channelMask` over the whole
// raster (one value over all those channels); 0 for bad arguments.
double FindImageMean(const std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                     std::int32_t stride, std::int32_t channelMask) noexcept;
double FindImageStandardDeviation(const std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                  std::int32_t stride, std::int32_t channelMask) noexcept;

// Local histogram enhancement into `dst`: over the size x size square around
// each pixel the luma's mean m and deviation s are taken; where m <= k0 mean
// and k1 deviation <= s <= k2 deviation (dark, moderately textured places)
// the masked channels are multiplied by `gain`, elsewhere copied.
std::int32_t LocalHistogramEnhancement(const std::uint8_t* src, std::int32_t width, std::int32_t height,
                                       std::int32_t bpp, std::int32_t stride, std::uint8_t* dst,
                                       std::int32_t dstStride, std::int32_t size, double mean, double deviation,
                                       double k0, double k1, double k2, double gain,
                                       std::int32_t channelMask) noexcept;

}  // namespace plr::imaging_lib
