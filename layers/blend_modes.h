#pragma once
// The layer blend modes: one table, indexed by mode number, from which the
// name lookup, the stage-1 alpha rules and the composition dispatch derive.
#include <cstdint>
#include <string_view>

namespace plr {

// What an alpha mode does to the source pixel's alpha (and colour) before
// composition, without the same-alpha-mode switch.
enum class AlphaRule : std::uint8_t {
    None,            // colour modes: the source alpha as it is
    Constant,        // 21: a != 0 gives A = O
    Filter,          // 22: white, A = 0xFFFF - a, also where a = 0
    BlackOutline,    // 23, 38: 0 < a < 0xFF00 gives black with A = O
    OutlineTint,     // 24, 25: A = O from 0x2FFF up, else 0xFFFF - a
    Invert,          // 26: A = 0xFFFF - a
    Shader,          // 27: grey a, A = O
    ShaderColor,     // 28, 29: darken below 0x7FFF, brighten above, A = O
    HighlightTex,    // 30: brighten and A = O from 0x7FFF up, else fade
    Smooth,          // 31: A = O from 0x7FFF up, else a steep fade
    Ramp,            // 32, 36, 37: A = Ramp(a)
    Step,            // 33, 34, 35: A = 0 below 0x1FFF, else O
    Highlight,       // 39: A = 0 above 0x7F00
    Hidden,          // 40: a Layer Mask never shows itself
    Luminance,       // 41: white, A = mean
    LuminanceInvert  // 42: black, A = 0xFFFF - mean
};

// With the same-alpha-mode switch most alpha modes let the source replace
// the destination; a few keep a threshold.
enum class SameRule : std::uint8_t {
    None,       // colour modes (the switch is never set for them)
    Replace,    // a != 0: the source pixel replaces the destination
    Ramp,       // a < 0x1FFF: A = 0; a >= 0x23FF: replace; between: Multiply
    Step,       // a < 0x1FFF: A = 0; otherwise replace
    Highlight,  // a > 0x7F00: replace; otherwise A = 0
    AsWithout   // 40, 41, 42: the same rule as without the switch
};

// Shade(P, Dl, Dd): brightens the colour above the pivot P, darkens it below.
struct ShadeParams {
    std::int32_t pivot = 0;  // 0: no shading
    double lighten = 0;
    double darken = 0;
};

struct BlendMode {
    std::int32_t number;
    std::string_view name;  // empty: the number has no name (20)
    AlphaRule alpha;
    SameRule same;
    ShadeParams shade;
    // The mode the composition stage sees (m): 29 and 30 compose as
    // Texturize2; with the switch 32, 36 and 37 compose as Multiply where
    // they compose at all.
    std::int8_t composeAs;
    std::int8_t composeAsSame;
};

constexpr std::int32_t kModeNormal = 0;
constexpr std::int32_t kModeTexturize = 17;
constexpr std::int32_t kModeTexturize2 = 18;
constexpr std::int32_t kModeTexturize3 = 19;
constexpr std::int32_t kModeUnused = 20;
constexpr std::int32_t kModeLayerMask = 40;
constexpr std::int32_t kModeCount = 43;

namespace detail {
constexpr BlendMode colour(std::int32_t n, std::string_view name) {
    return {n, name, AlphaRule::None, SameRule::None, {}, static_cast<std::int8_t>(n), static_cast<std::int8_t>(n)};
}
constexpr BlendMode alpha(std::int32_t n, std::string_view name, AlphaRule rule, SameRule same, ShadeParams shade = {},
                          std::int8_t m = -1, std::int8_t mSame = -1) {
    const auto self = static_cast<std::int8_t>(n);
    return {n, name, rule, same, shade, m < 0 ? self : m, mSame < 0 ? self : mSame};
}
}  // namespace detail

inline constexpr BlendMode kBlendModes[kModeCount] = {
    detail::colour(0, "Normal"),
    detail::colour(1, "Multiply"),
    detail::colour(2, "Screen"),
    detail::colour(3, "Darken"),
    detail::colour(4, "Lighten"),
    detail::colour(5, "Difference"),
    detail::colour(6, "Negation"),
    detail::colour(7, "Exclusion"),
    detail::colour(8, "Overlay"),
    detail::colour(9, "Hard Light"),
    detail::colour(10, "Soft Light"),
    detail::colour(11, "Dodge"),
    detail::colour(12, "Burn"),
    detail::colour(13, "Reflect"),
    detail::colour(14, "Glow"),
    detail::colour(15, "Add"),
    detail::colour(16, "Subtract"),
    detail::colour(17, "Texturize"),
    detail::colour(18, "Texturize2"),
    detail::colour(19, "Texturize3"),
    detail::colour(20, ""),
    detail::alpha(21, "Alpha Normal", AlphaRule::Constant, SameRule::Replace),
    detail::alpha(22, "Alpha Filter", AlphaRule::Filter, SameRule::Replace),
    detail::alpha(23, "Alpha Black Outline", AlphaRule::BlackOutline, SameRule::Replace),
    detail::alpha(24, "Alpha Outline Tint 1", AlphaRule::OutlineTint, SameRule::Replace),
    detail::alpha(25, "Alpha Outline Tint 2", AlphaRule::OutlineTint, SameRule::Replace),
    detail::alpha(26, "Alpha Invert", AlphaRule::Invert, SameRule::Replace),
    detail::alpha(27, "Alpha Shader", AlphaRule::Shader, SameRule::Replace),
    detail::alpha(28, "Alpha Shader Color", AlphaRule::ShaderColor, SameRule::Replace),
    detail::alpha(29, "Alpha Shader Texture2", AlphaRule::ShaderColor, SameRule::Replace, {}, kModeTexturize2),
    detail::alpha(30, "Alpha Highlight Texture2", AlphaRule::HighlightTex, SameRule::Replace, {}, kModeTexturize2),
    detail::alpha(31, "Alpha Smooth", AlphaRule::Smooth, SameRule::Replace),
    detail::alpha(32, "Alpha Smooth2", AlphaRule::Ramp, SameRule::Ramp, {}, -1, 1),
    detail::alpha(33, "Alpha Smooth Lum", AlphaRule::Step, SameRule::Step, {0x7FFF, 32767, 32767}),
    detail::alpha(34, "Alpha Smooth Lum2", AlphaRule::Step, SameRule::Step, {0x7FFF, 32767, 65535}),
    detail::alpha(35, "Alpha Smooth Lum3", AlphaRule::Step, SameRule::Step, {0x8FFE, 28672, 30000}),
    detail::alpha(36, "Alpha Smooth Lum4", AlphaRule::Ramp, SameRule::Ramp, {0x8FFE, 28672, 30000}, -1, 1),
    detail::alpha(37, "Alpha Smooth Lum5", AlphaRule::Ramp, SameRule::Ramp, {0x7FFF, 32767, 32767}, -1, 1),
    detail::alpha(38, "Alpha Overlay Outline", AlphaRule::BlackOutline, SameRule::Replace),
    detail::alpha(39, "Alpha Highlight", AlphaRule::Highlight, SameRule::Highlight),
    detail::alpha(40, "Layer Mask", AlphaRule::Hidden, SameRule::AsWithout),
    detail::alpha(41, "Luminance Alpha", AlphaRule::Luminance, SameRule::AsWithout),
    detail::alpha(42, "Luminance Alpha Invert", AlphaRule::LuminanceInvert, SameRule::AsWithout),
};

namespace detail {
constexpr bool tableIsConsistent() {
    for (std::int32_t i = 0; i < kModeCount; ++i) {
        const BlendMode& m = kBlendModes[i];
        if (m.number != i || m.name.size() >= 50) return false;
        if ((i > kModeUnused) != (m.alpha != AlphaRule::None)) return false;
        if ((i > kModeUnused) != (m.same != SameRule::None)) return false;
        if ((i == kModeUnused) != m.name.empty()) return false;
        for (std::int32_t j = 0; j < i; ++j)
            if (!m.name.empty() && kBlendModes[j].name == m.name) return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::tableIsConsistent(), "blend-mode table: numbers, names or families out of step");

// The mode number of a name compared exactly (case-sensitive); 0 (Normal)
// for null, unknown or unnamed.
constexpr std::int32_t blendModeNumber(const char* name) noexcept {
    if (!name) return kModeNormal;
    const std::string_view n(name);
    for (const BlendMode& m : kBlendModes)
        if (!m.name.empty() && m.name == n) return m.number;
    return kModeNormal;
}
static_assert(blendModeNumber("Layer Mask") == kModeLayerMask && blendModeNumber("multiply") == 0);

// Mode numbers outside 0..42 take no alpha rule and compose as Normal
// (without its straight-copy shortcut).
constexpr const BlendMode* blendModeInfo(std::int32_t mode) noexcept {
    return mode >= 0 && mode < kModeCount ? &kBlendModes[mode] : nullptr;
}

// The composition formula a mode number m uses: 13, 14 and any number
// without a formula of its own compose as Normal.
constexpr std::int32_t formulaOf(std::int32_t m) noexcept {
    return (m >= 0 && m <= kModeTexturize3 && m != 13 && m != 14) ? m : kModeNormal;
}
// A transparent destination is cleared rather than painted (Texturize family).
constexpr bool clearsTransparent(std::int32_t m) noexcept { return m >= kModeTexturize && m <= kModeTexturize3; }

}  // namespace plr
