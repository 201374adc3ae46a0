#include "brush/dab_mix_modes.h"

#include <cmath>

namespace plr {
namespace {

using u32 = std::uint32_t;

// Table position by mode number (-1: not listed), so a pixel finds its mode
// with one index.
constexpr auto kMixModeIndex = [] {
    std::array<std::int16_t, kLastMixMode + 1> index{};
    for (auto& i : index) i = -1;
    for (std::size_t i = 0; i < std::size(kDabMixModes); ++i)
        index[static_cast<std::size_t>(kDabMixModes[i].number)] = static_cast<std::int16_t>(i);
    return index;
}();

u32 bankChannel(const Color16& c, int ch) noexcept { return ch == 0 ? c.red : ch == 1 ? c.green : c.blue; }

void fromBank(const Color16& c, u32 x[3]) noexcept {
    for (int ch = 0; ch < 3; ++ch) x[ch] = bankChannel(c, ch);
}
void copy3(const u32 a[3], u32 x[3]) noexcept {
    for (int ch = 0; ch < 3; ++ch) x[ch] = a[ch];
}

// How many of the mode's cuts v reaches.
int step(const DabMixMode& m, u32 v) noexcept {
    int k = 0;
    while (k < m.cutCount && v >= m.cuts[static_cast<std::size_t>(k)]) ++k;
    return k;
}

bool inRange(const DabMixMode& m, u32 l) noexcept { return l >= m.lo && l <= m.hi; }

}  // namespace

namespace mixchannel {
u32 softLight(u32 dv, u32 sv) noexcept {
    const float s = static_cast<float>(sv) / 65535.0f;
    const float d = static_cast<float>(dv) / 65535.0f;
    const float v =
        s < 0.5f ? d * (2.0f * s + (1.0f - 2.0f * s) * d) : std::sqrt(d) * (2.0f * s - 1.0f) + 2.0f * d * (1.0f - s);
    return static_cast<u32>(static_cast<std::int32_t>(65535.0f * v));
}
}  // namespace mixchannel

const DabMixMode* findMixMode(std::int32_t mode) noexcept {
    if (mode < 0 || mode > kLastMixMode) return nullptr;
    const std::int16_t i = kMixModeIndex[static_cast<std::size_t>(mode)];
    return i < 0 ? nullptr : &kDabMixModes[i];
}

bool isListedMixMode(std::int32_t mode) noexcept {
    const DabMixMode* m = findMixMode(mode);
    return m && m->rule != MixRule::Standard;
}

MixOutcome mixModeValue(std::int32_t mode, const u32 s[3], const u32 d[3], const Color16 banks[4],
                        std::int32_t posterizeShift, u32 x[3], u32& lightness) noexcept {
    const u32 l = (s[0] + s[1] + s[2]) / 3;
    lightness = l;
    const DabMixMode* m = findMixMode(mode);
    if (!m) {
        copy3(s, x);
        return MixOutcome::Value;
    }
    switch (m->rule) {
        case MixRule::Standard:
            copy3(s, x);
            return MixOutcome::Value;
        case MixRule::Separable:
            for (int ch = 0; ch < 3; ++ch) x[ch] = m->channel(d[ch], s[ch]);
            return MixOutcome::Value;
        case MixRule::BankByLightness:
            fromBank(banks[step(*m, l)], x);
            return MixOutcome::Value;
        case MixRule::BankGradient:
            for (int ch = 0; ch < 3; ++ch) {
                if (l < 32767) {
                    const u32 t = (2 * l) >> 8;
                    x[ch] = (bankChannel(banks[1], ch) * t + bankChannel(banks[0], ch) * (256 - t)) >> 8;
                } else {
                    const u32 t = (2 * l - 65534) >> 8;
                    x[ch] = (bankChannel(banks[1], ch) * (256 - t) + bankChannel(banks[2], ch) * t) >> 8;
                }
            }
            return MixOutcome::Value;
        case MixRule::BankOrTarget:
            inRange(*m, l) ? fromBank(banks[0], x) : copy3(d, x);
            return MixOutcome::Value;
        case MixRule::BankOrSource: {
            const int k = step(*m, l);
            k == 0 ? fromBank(banks[0], x) : k == 2 ? fromBank(banks[1], x) : copy3(s, x);
            return MixOutcome::Value;
        }
        case MixRule::SourceInRange:
            copy3(s, x);
            return inRange(*m, l) ? MixOutcome::Value : MixOutcome::Unchanged;
        case MixRule::BankInRange:
            fromBank(banks[0], x);
            return inRange(*m, l) ? MixOutcome::Value : MixOutcome::Unchanged;
        case MixRule::Levels:
            for (int ch = 0; ch < 3; ++ch) x[ch] = m->levels[static_cast<std::size_t>(step(*m, s[ch]))];
            return MixOutcome::Value;
        case MixRule::Posterize: {
            const u32 k = static_cast<u32>(posterizeShift) & 31u;
            for (int ch = 0; ch < 3; ++ch) x[ch] = (s[ch] >> k) << k;
            return MixOutcome::Direct;
        }
        case MixRule::Grey:
            x[0] = x[1] = x[2] = 32767;
            return MixOutcome::Grey;
        case MixRule::LighterOf: {
            const u32 ld = (d[2] + 3 * d[0] + 4 * d[1]) >> 3;
            const u32 ls = (3 * s[0] + s[2] + 4 * s[1]) >> 3;
            const bool takeD = m->targetWhenDarker ? ld < ls : ld > ls;
            takeD ? copy3(d, x) : copy3(s, x);
            return MixOutcome::Value;
        }
    }
    copy3(s, x);
    return MixOutcome::Value;
}

}  // namespace plr
