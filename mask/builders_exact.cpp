// Builders that test for exact equality: image difference, one colour, flood map.
#include <cstring>

#include "mask/builders.h"

namespace plr {
namespace {

std::uint32_t load32(const std::uint8_t* p) noexcept {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

bool isByte(std::int32_t v) noexcept { return v >= 0 && v <= 255; }

}  // namespace

void maskFromDiff(std::uint16_t* mask, std::size_t count, const std::uint8_t* a, const std::uint8_t* b,
                  std::uint16_t value) noexcept {
    for (std::size_t i = 0; i < count; ++i) mask[i] = load32(a + 4 * i) != load32(b + 4 * i) ? value : mask[i];
}

void maskFromColourRGBA(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgba, std::int32_t red,
                        std::int32_t green, std::int32_t blue, std::uint16_t value) noexcept {
    if (!isByte(red) || !isByte(green) || !isByte(blue)) return;  // no byte can equal them
    // Compare the three colour bytes as one word with alpha masked off.
    const std::uint8_t keyBytes[4] = {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                      static_cast<std::uint8_t>(blue), 0};
    const std::uint8_t maskBytes[4] = {0xFF, 0xFF, 0xFF, 0};
    const std::uint32_t key = load32(keyBytes), colourBits = load32(maskBytes);
    for (std::size_t i = 0; i < count; ++i) mask[i] = (load32(rgba + 4 * i) & colourBits) == key ? value : mask[i];
}

void maskFromColourRGB24(std::uint16_t* mask, std::size_t count, const std::uint8_t* rgb, std::int32_t red,
                         std::int32_t green, std::int32_t blue, std::uint16_t value) noexcept {
    if (!isByte(red) || !isByte(green) || !isByte(blue)) return;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* q = rgb + 3 * i;
        const bool pass = (q[0] == red) & (q[1] == green) & (q[2] == blue);
        mask[i] = pass ? value : mask[i];
    }
}

void maskFromFloodMap(std::uint16_t* mask, std::size_t count, const std::uint8_t* map, std::uint16_t value) noexcept {
    for (std::size_t i = 0; i < count; ++i) mask[i] = map[i] == 1 ? value : mask[i];
}

}  // namespace plr
