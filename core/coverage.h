#pragma once
// Coverage: how much of a load reaches a page pixel, 0 (nothing) .. 0xFFFF
// (all), from the paper texture byte t (4..250 while a texture exists) and
// the mask value m (0 protected .. 0xFFFF open). Two variants exist because
// the alpha load was written against a different scale than the colour
// loads; both are kept exactly, stored documents and strokes depend on them.
//
// Every function is branch-free arithmetic with selects so that the page
// loops calling them vectorise.
#include <cstdint>

namespace plr {

constexpr std::uint32_t kFullCoverage = 0xFFFF;

// Variant A (colour loads, the core RGBA32 load).
// Texture: t = 0 gives 0, t >= 128 leaves f, otherwise (2t + 1) * 0xFFFF >> 8.
constexpr std::uint32_t textureCoverageA(std::uint32_t f, std::uint8_t t) noexcept {
    const std::uint32_t scaled = ((2u * t + 1u) * 0xFFFFu) >> 8;
    return t == 0 ? 0u : t >= 128 ? f : scaled;
}
// Mask: h = m >> 8; h = 0 gives 0 (pixel untouched), h = 255 leaves f,
// otherwise (h + 1) * f >> 8.
constexpr std::uint32_t maskCoverageA(std::uint32_t f, std::uint16_t m) noexcept {
    const std::uint32_t h = m >> 8;
    const std::uint32_t scaled = ((h + 1u) * f) >> 8;
    return h == 0 ? 0u : h == 255 ? f : scaled;
}
constexpr std::uint32_t coverageA(bool hasTexture, std::uint8_t t, bool hasMask, std::uint16_t m) noexcept {
    std::uint32_t f = kFullCoverage;
    if (hasTexture) f = textureCoverageA(f, t);
    if (hasMask) f = maskCoverageA(f, m);
    return f;
}

// Variant B (the alpha load).
// Texture: t >= 128 leaves f, otherwise t * 0x1FFFE >> 8 (t = 0 gives 0).
constexpr std::uint32_t textureCoverageB(std::uint32_t f, std::uint8_t t) noexcept {
    const std::uint32_t scaled = (std::uint32_t{t} * 0x1FFFEu) >> 8;
    return t >= 128 ? f : scaled;
}
// Mask: m < 0xFFFF gives m * f >> 16.
constexpr std::uint32_t maskCoverageB(std::uint32_t f, std::uint16_t m) noexcept {
    const std::uint32_t scaled = (std::uint32_t{m} * f) >> 16;
    return m == 0xFFFF ? f : scaled;
}
constexpr std::uint32_t coverageB(bool hasTexture, std::uint8_t t, bool hasMask, std::uint16_t m) noexcept {
    std::uint32_t f = kFullCoverage;
    if (hasTexture) f = textureCoverageB(f, t);
    if (hasMask) f = maskCoverageB(f, m);
    return f;
}

// Blend of one channel for 0 < f < 0xFFFF: 16-bit destination d toward the
// 8-bit source s, unsigned 32-bit arithmetic (s * 256 * f stays below 2^32):
//   d' = ((s * 256 * f >> 8) + (d * (0xFFFF - f) >> 8)) >> 8
// The ends are not continuous with it (f = 0xFFFF gives s * 256 exactly,
// f = 0 leaves d), so callers treat them apart; coverageApply does.
constexpr std::uint16_t coverageBlend(std::uint8_t s, std::uint16_t d, std::uint32_t f) noexcept {
    const std::uint32_t in = (std::uint32_t{s} * 256u * f) >> 8;
    const std::uint32_t keep = (std::uint32_t{d} * (0xFFFFu - f)) >> 8;
    return static_cast<std::uint16_t>((in + keep) >> 8);
}
// One channel under coverage f, ends included.
constexpr std::uint16_t coverageApply(std::uint8_t s, std::uint16_t d, std::uint32_t f) noexcept {
    const std::uint16_t blended = coverageBlend(s, d, f);
    return f == 0 ? d : f == kFullCoverage ? static_cast<std::uint16_t>(s << 8) : blended;
}

}  // namespace plr
