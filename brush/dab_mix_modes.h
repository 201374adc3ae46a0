#pragma once
// The dab-level mix modes 32..388: one table, by mode number, from which the
// mode lookup and the value dispatch derive. 32 and 33 compose on the
// standard path; 34 and up on the mix-mode path, where the dab mixes the
// mode's value with the brush colour by the mix strength and the mixing
// buffer's mix pick-up uses the value as it stands. Numbers the table does
// not list paint as Normal.
#include <array>
#include <cstdint>
#include <string_view>

#include "brush/brush_settings.h"
#include "layers/blend_modes.h"

namespace plr {

enum class MixOutcome : std::uint8_t {
    Value,      // X holds the mode's value (the dab mixes it with S by strength)
    Direct,     // X holds the result itself (posterize): no strength mixing
    Unchanged,  // the target keeps its value
    Grey,       // X is mid grey; the result alpha is the source lightness L
};

// How a mode finds its value X from the source S, the target D, the colour
// banks and the source lightness L = (Sr + Sg + Sb) / 3.
enum class MixRule : std::uint8_t {
    Standard,        // 32, 33: composed on the standard path, no value here
    Separable,       // 34..48: X = channel(D, S) per colour channel
    BankByLightness, // X = bank k, k = how many cuts L reaches
    BankGradient,    // L below 32767 blends bank 0 into 1, above bank 1 into 2
    BankOrTarget,    // X = bank 0 where lo <= L <= hi, else D
    BankOrSource,    // X = bank 0 below cut 0, bank 1 from cut 1 up, else S
    SourceInRange,   // X = S where lo <= L <= hi, else the target is unchanged
    BankInRange,     // X = bank 0 where lo <= L <= hi, else unchanged
    Levels,          // per channel of S: level k, k = how many cuts it reaches
    Posterize,       // R = (S >> k) << k, k = posterizeShift & 31: no strength
    Grey,            // R = mid grey, the result alpha L
    LighterOf,       // Ld = (Db + 3Dr + 4Dg) >> 3, Ls = (3Sr + Sb + 4Sg) >> 3
};

using MixChannel = std::uint32_t (*)(std::uint32_t d, std::uint32_t s) noexcept;

struct DabMixMode {
    std::int32_t number;
    std::string_view name;  // 32..48 bear the names of layer blend modes 0..16
    MixRule rule;
    MixChannel channel = nullptr;          // Separable
    std::array<std::uint32_t, 3> cuts{};   // lightness (or channel) cuts, ascending
    std::int32_t cutCount = 0;
    std::array<std::uint32_t, 4> levels{}; // Levels: the value for each step
    std::uint32_t lo = 0, hi = 0;          // range rules: lo <= L <= hi
    bool targetWhenDarker = false;         // LighterOf: 387 takes D when Ld < Ls, 388 when Ld > Ls
};

namespace mixchannel {
using u32 = std::uint32_t;
constexpr u32 kFull = 65535;
u32 softLight(u32 d, u32 s) noexcept;
constexpr u32 overlay(u32 d, u32 s, bool low) noexcept {
    return low ? (d * s) >> 15 : kFull - (((kFull - d) * (kFull - s)) >> 15);
}
constexpr u32 screen(u32 d, u32 s) noexcept { return kFull - (((kFull - d) * (kFull - s)) >> 16); }
constexpr u32 darken(u32 d, u32 s) noexcept { return d < s ? d : s; }
constexpr u32 lighten(u32 d, u32 s) noexcept { return d > s ? d : s; }
constexpr u32 difference(u32 d, u32 s) noexcept { return d > s ? d - s : s - d; }
constexpr u32 negation(u32 d, u32 s) noexcept {
    const std::int32_t v = 65535 - static_cast<std::int32_t>(d) - static_cast<std::int32_t>(s);
    return static_cast<u32>(65535 - (v < 0 ? -v : v));
}
constexpr u32 exclusion(u32 d, u32 s) noexcept { return d + s - ((d * s) >> 15); }
constexpr u32 overlayD(u32 d, u32 s) noexcept { return overlay(d, s, d < 32767); }
constexpr u32 hardLight(u32 d, u32 s) noexcept { return overlay(d, s, s < 32767); }
constexpr u32 dodge(u32 d, u32 s) noexcept {
    if (s >= kFull) return kFull;
    const u32 v = (d * 65536u) / (kFull - s);
    return v < kFull ? v : kFull;
}
constexpr u32 burn(u32 d, u32 s) noexcept {
    if (s == 0) return 0;
    const std::int64_t v = 65535 - static_cast<std::int64_t>(((kFull - d) * 65536u) / s);
    return v > 0 ? static_cast<u32>(v) : 0;
}
constexpr u32 reflect(u32 d, u32 s) noexcept {
    if (s >= kFull) return kFull;
    const u32 v = (d * d) / (kFull - s);
    return v < kFull ? v : kFull;
}
constexpr u32 glow(u32 d, u32 s) noexcept { return reflect(s, d); }
constexpr u32 add(u32 d, u32 s) noexcept { return d + s < kFull ? d + s : kFull; }
constexpr u32 subtract(u32 d, u32 s) noexcept { return d + s > kFull ? d + s - kFull : 0; }
}  // namespace mixchannel

namespace detail {
constexpr DabMixMode standardMix(std::int32_t n, std::string_view name) { return {n, name, MixRule::Standard}; }
constexpr DabMixMode separableMix(std::int32_t n, std::string_view name, MixChannel f) {
    return {n, name, MixRule::Separable, f};
}
constexpr DabMixMode bankByLightness(std::int32_t n, std::array<std::uint32_t, 3> cuts, std::int32_t count) {
    return {n, {}, MixRule::BankByLightness, nullptr, cuts, count};
}
constexpr DabMixMode rangeMix(std::int32_t n, MixRule rule, std::uint32_t lo, std::uint32_t hi) {
    return {n, {}, rule, nullptr, {}, 0, {}, lo, hi};
}
constexpr DabMixMode levelsMix(std::int32_t n, std::array<std::uint32_t, 3> cuts, std::int32_t count,
                               std::array<std::uint32_t, 4> levels) {
    return {n, {}, MixRule::Levels, nullptr, cuts, count, levels};
}
constexpr DabMixMode plainMix(std::int32_t n, MixRule rule, bool targetWhenDarker = false) {
    return {n, {}, rule, nullptr, {}, 0, {}, 0, 0, targetWhenDarker};
}
constexpr std::uint32_t kAnyL = 0xFFFFFFFFu;  // the top of a range open upward
}  // namespace detail

inline constexpr DabMixMode kDabMixModes[] = {
    detail::standardMix(32, "Normal"),
    detail::standardMix(33, "Multiply"),
    detail::separableMix(34, "Screen", mixchannel::screen),
    detail::separableMix(35, "Darken", mixchannel::darken),
    detail::separableMix(36, "Lighten", mixchannel::lighten),
    detail::separableMix(37, "Difference", mixchannel::difference),
    detail::separableMix(38, "Negation", mixchannel::negation),
    detail::separableMix(39, "Exclusion", mixchannel::exclusion),
    detail::separableMix(40, "Overlay", mixchannel::overlayD),
    detail::separableMix(41, "Hard Light", mixchannel::hardLight),
    detail::separableMix(42, "Soft Light", mixchannel::softLight),
    detail::separableMix(43, "Dodge", mixchannel::dodge),
    detail::separableMix(44, "Burn", mixchannel::burn),
    detail::separableMix(45, "Reflect", mixchannel::reflect),
    detail::separableMix(46, "Glow", mixchannel::glow),
    detail::separableMix(47, "Add", mixchannel::add),
    detail::separableMix(48, "Subtract", mixchannel::subtract),
    detail::bankByLightness(249, {32767}, 1),
    detail::bankByLightness(250, {21845, 43690}, 2),
    detail::bankByLightness(251, {16383, 32767, 49151}, 3),
    detail::plainMix(252, MixRule::BankGradient),
    detail::rangeMix(253, MixRule::BankOrTarget, 0, 32766),
    detail::rangeMix(254, MixRule::BankOrTarget, 32768, detail::kAnyL),
    {255, {}, MixRule::BankOrSource, nullptr, {20479, 49152}, 2},
    detail::rangeMix(256, MixRule::SourceInRange, 20479, detail::kAnyL),
    detail::rangeMix(257, MixRule::SourceInRange, 0, 49151),
    detail::rangeMix(258, MixRule::SourceInRange, 20479, 49151),
    detail::rangeMix(259, MixRule::BankInRange, 0, 12287),
    detail::rangeMix(260, MixRule::BankInRange, 57343, detail::kAnyL),
    detail::levelsMix(261, {10922, 32767, 54613}, 3, {0, 21845, 43690, 65535}),
    detail::levelsMix(262, {21845, 43690}, 2, {0, 32767, 65535}),
    detail::plainMix(295, MixRule::Posterize),
    detail::plainMix(340, MixRule::Grey),
    detail::plainMix(387, MixRule::LighterOf, true),
    detail::plainMix(388, MixRule::LighterOf, false),
};

constexpr std::int32_t kFirstMixMode = 32;
constexpr std::int32_t kLastMixMode = 388;

namespace detail {
constexpr bool mixTableIsConsistent() {
    std::int32_t previous = kFirstMixMode - 1;
    for (const DabMixMode& m : kDabMixModes) {
        if (m.number <= previous || m.number > kLastMixMode) return false;  // ascending, inside 32..388
        previous = m.number;
        // 34..48 and only they work per channel (separableMix gives each its function).
        if ((m.rule == MixRule::Separable) != (m.number >= 34 && m.number <= 48)) return false;
        if (m.cutCount < 0 || m.cutCount > 3) return false;
        for (std::int32_t i = 1; i < m.cutCount; ++i)
            if (m.cuts[i] <= m.cuts[i - 1]) return false;
        if (m.lo > m.hi) return false;
        // 32..48 are the layer blend modes 0..16 under the same names.
        if (m.number <= 48 && m.name != kBlendModes[m.number - 32].name) return false;
        if (m.number > 48 && !m.name.empty()) return false;
    }
    return kDabMixModes[0].number == kMixModeNormal && previous == kLastMixMode;
}
}  // namespace detail
static_assert(detail::mixTableIsConsistent(), "dab mix-mode table: numbers, names or parameters out of step");

// The table's entry for a mode number, or null for numbers it does not list.
const DabMixMode* findMixMode(std::int32_t mode) noexcept;

// True for the modes the mix-mode path composes (34 and up, listed); other
// numbers of 34 and up paint as Normal.
bool isListedMixMode(std::int32_t mode) noexcept;

// The mode's value X per colour channel for source colour s and target colour
// d (16-bit values in 32-bit lanes). `lightness` receives L = (sr + sg + sb) / 3.
MixOutcome mixModeValue(std::int32_t mode, const std::uint32_t s[3], const std::uint32_t d[3], const Color16 banks[4],
                        std::int32_t posterizeShift, std::uint32_t x[3], std::uint32_t& lightness) noexcept;

}  // namespace plr
