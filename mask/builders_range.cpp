// Builders that accept a byte distance: colour, alpha and luminance ranges.
#include "mask/builders.h"
#include "mask/mask_values.h"

namespace plr {
namespace {

// A reference further than 256 from every byte behaves like one at -300 or
// 600; pinning keeps the subtraction in range for any 32-bit argument.
std::int32_t pinReference(std::int64_t v) noexcept { return v < -300 ? -300 : v > 600 ? 600 : static_cast<std::int32_t>(v); }

std::int32_t distance(std::int32_t a, std::int32_t b) noexcept { return a > b ? a - b : b - a; }

}  // namespace

void maskFromColourRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                         std::int32_t green, std::int32_t blue, std::int32_t tolerance, std::uint16_t value) noexcept {
    const std::int32_t t = percentToByteDistance(tolerance);
    const std::int32_t r = pinReference(red), g = pinReference(green), b = pinReference(blue);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* q = rgba + 4 * i;
        const bool pass = (distance(q[0], r) <= t) & (distance(q[1], g) <= t) & (distance(q[2], b) <= t);
        mask[i] = pass ? value : mask[i];
    }
}

void maskFromAlphaRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t alpha,
                        std::int32_t tolerance, std::uint16_t value) noexcept {
    const std::int32_t t = percentToByteDistance(tolerance);
    const std::int32_t a = pinReference(alpha);
    for (std::size_t i = 0; i < count; ++i) mask[i] = distance(rgba[4 * i + 3], a) <= t ? value : mask[i];
}

void maskFromLuminanceRange(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                            std::int32_t green, std::int32_t blue, std::int32_t tolerance,
                            std::uint16_t value) noexcept {
    const std::int32_t t = percentToByteDistance(tolerance);
    const std::int32_t reference = pinReference((std::int64_t{red} + green + blue) / 3);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* q = rgba + 4 * i;
        const std::int32_t mean = static_cast<std::int32_t>((std::uint32_t{q[0]} + q[1] + q[2]) / 3u);
        mask[i] = distance(mean, reference) <= t ? value : mask[i];
    }
}

}  // namespace plr
