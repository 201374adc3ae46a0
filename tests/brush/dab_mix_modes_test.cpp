// The dab mix-mode table against the modes written out one by one, each as
// its own rule: every number from below 32 to past 388, random colours,
// banks and posterize shifts, bit-exact in outcome, value and lightness.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "brush/dab_mix_modes.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using u32 = std::uint32_t;

constexpr u32 kFull = 65535;

u32 overlay(u32 d, u32 s, bool low) noexcept {
    return low ? (d * s) >> 15 : kFull - (((kFull - d) * (kFull - s)) >> 15);
}

u32 softLight(u32 dv, u32 sv) noexcept {
    const float s = static_cast<float>(sv) / 65535.0f;
    const float d = static_cast<float>(dv) / 65535.0f;
    const float v =
        s < 0.5f ? d * (2.0f * s + (1.0f - 2.0f * s) * d) : std::sqrt(d) * (2.0f * s - 1.0f) + 2.0f * d * (1.0f - s);
    return static_cast<u32>(static_cast<std::int32_t>(65535.0f * v));
}

// One channel of the separable modes 34..48.
u32 separable(std::int32_t mode, u32 d, u32 s) noexcept {
    const std::int32_t ds = static_cast<std::int32_t>(d), ss = static_cast<std::int32_t>(s);
    switch (mode) {
        case 34:
            return kFull - (((kFull - d) * (kFull - s)) >> 16);
        case 35:
            return std::min(d, s);
        case 36:
            return std::max(d, s);
        case 37:
            return static_cast<u32>(std::abs(ds - ss));
        case 38:
            return static_cast<u32>(65535 - std::abs(65535 - ds - ss));
        case 39:
            return d + s - ((d * s) >> 15);
        case 40:
            return overlay(d, s, d < 32767);
        case 41:
            return overlay(d, s, s < 32767);
        case 42:
            return softLight(d, s);
        case 43:
            return s >= kFull ? kFull : std::min(kFull, (d * 65536u) / (kFull - s));
        case 44: {
            if (s == 0) return 0;
            const std::int64_t v = 65535 - static_cast<std::int64_t>(((kFull - d) * 65536u) / s);
            return static_cast<u32>(std::max<std::int64_t>(0, v));
        }
        case 45:
            return s >= kFull ? kFull : std::min(kFull, (d * d) / (kFull - s));
        case 46:
            return d >= kFull ? kFull : std::min(kFull, (s * s) / (kFull - d));
        case 47:
            return std::min(kFull, d + s);
        case 48:
            return static_cast<u32>(std::max(0, ds + ss - 65535));
        default:
            return s;
    }
}

u32 bankChannel(const Color16& c, int ch) noexcept { return ch == 0 ? c.red : ch == 1 ? c.green : c.blue; }

void fromBank(const Color16& c, u32 x[3]) noexcept {
    for (int ch = 0; ch < 3; ++ch) x[ch] = bankChannel(c, ch);
}
void copy3(const u32 a[3], u32 x[3]) noexcept {
    for (int ch = 0; ch < 3; ++ch) x[ch] = a[ch];
}


bool refListed(std::int32_t mode) noexcept {
    return (mode >= 34 && mode <= 48) || (mode >= 249 && mode <= 262) || mode == 295 || mode == 340 || mode == 387 ||
           mode == 388;
}

MixOutcome refValue(std::int32_t mode, const u32 s[3], const u32 d[3], const Color16 banks[4],
                        std::int32_t posterizeShift, u32 x[3], u32& lightness) noexcept {
    const u32 l = (s[0] + s[1] + s[2]) / 3;
    lightness = l;
    if (mode >= 34 && mode <= 48) {
        for (int ch = 0; ch < 3; ++ch) x[ch] = separable(mode, d[ch], s[ch]);
        return MixOutcome::Value;
    }
    switch (mode) {
        case 249:
            fromBank(banks[l > 32766 ? 1 : 0], x);
            return MixOutcome::Value;
        case 250:
            fromBank(banks[l < 21845 ? 0 : l < 43690 ? 1 : 2], x);
            return MixOutcome::Value;
        case 251:
            fromBank(banks[l < 16383 ? 0 : l < 32767 ? 1 : l < 49151 ? 2 : 3], x);
            return MixOutcome::Value;
        case 252:
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
        case 253:
            l < 32767 ? fromBank(banks[0], x) : copy3(d, x);
            return MixOutcome::Value;
        case 254:
            l > 32767 ? fromBank(banks[0], x) : copy3(d, x);
            return MixOutcome::Value;
        case 255:
            if (l < 20479)
                fromBank(banks[0], x);
            else if (l > 49151)
                fromBank(banks[1], x);
            else
                copy3(s, x);
            return MixOutcome::Value;
        case 256:
            copy3(s, x);
            return l > 20478 ? MixOutcome::Value : MixOutcome::Unchanged;
        case 257:
            copy3(s, x);
            return l < 49152 ? MixOutcome::Value : MixOutcome::Unchanged;
        case 258:
            copy3(s, x);
            return l > 20478 && l < 49152 ? MixOutcome::Value : MixOutcome::Unchanged;
        case 259:
            fromBank(banks[0], x);
            return l < 12288 ? MixOutcome::Value : MixOutcome::Unchanged;
        case 260:
            fromBank(banks[0], x);
            return l > 57342 ? MixOutcome::Value : MixOutcome::Unchanged;
        case 261:
            for (int ch = 0; ch < 3; ++ch)
                x[ch] = s[ch] < 10922 ? 0 : s[ch] < 32767 ? 21845 : s[ch] <= 54612 ? 43690 : 65535;
            return MixOutcome::Value;
        case 262:
            for (int ch = 0; ch < 3; ++ch) x[ch] = s[ch] < 21845 ? 0 : s[ch] <= 43689 ? 32767 : 65535;
            return MixOutcome::Value;
        case 295: {
            const u32 k = static_cast<u32>(posterizeShift) & 31u;
            for (int ch = 0; ch < 3; ++ch) x[ch] = (s[ch] >> k) << k;
            return MixOutcome::Direct;
        }
        case 340:
            x[0] = x[1] = x[2] = 32767;
            return MixOutcome::Grey;
        case 387:
        case 388: {
            const u32 ld = (d[2] + 3 * d[0] + 4 * d[1]) >> 3;
            const u32 ls = (3 * s[0] + s[2] + 4 * s[1]) >> 3;
            const bool takeD = mode == 387 ? ld < ls : !(ld <= ls);
            takeD ? copy3(d, x) : copy3(s, x);
            return MixOutcome::Value;
        }
        default:
            copy3(s, x);
            return MixOutcome::Value;
    }
}


using DabMixModes = EngineTest;

TEST_F(DabMixModes, TableMatchesTheModesWrittenOutOneByOne) {
    std::mt19937 rng(20261208);
    const std::uint32_t edges[] = {0, 1, 10921, 10922, 12287, 12288, 16383, 20478, 20479, 21845, 32766, 32767,
                                   32768, 43689, 43690, 49151, 49152, 54612, 54613, 57342, 57343, 65534, 65535};
    auto channel = [&] {
        return rng() % 4 == 0 ? edges[rng() % std::size(edges)] : static_cast<std::uint32_t>(rng() % 65536);
    };
    int listed = 0;
    for (std::int32_t mode = -2; mode <= 400; ++mode) {
        EXPECT_EQ(isListedMixMode(mode), refListed(mode)) << mode;
        listed += isListedMixMode(mode);
        for (int k = 0; k < 400; ++k) {
            const std::uint32_t s[3] = {channel(), channel(), channel()};
            const std::uint32_t d[3] = {channel(), channel(), channel()};
            Color16 banks[4];
            for (auto& b : banks)
                b = {static_cast<std::uint16_t>(rng()), static_cast<std::uint16_t>(rng()),
                     static_cast<std::uint16_t>(rng()), 65535};
            const std::int32_t shift = static_cast<std::int32_t>(rng() % 40) - 4;
            std::uint32_t x[3] = {}, xr[3] = {}, l = 0, lr = 0;
            const MixOutcome o = mixModeValue(mode, s, d, banks, shift, x, l);
            const MixOutcome r = refValue(mode, s, d, banks, shift, xr, lr);
            ASSERT_EQ(o, r) << mode;
            ASSERT_EQ(l, lr) << mode;
            ASSERT_TRUE(std::equal(x, x + 3, xr)) << mode << " s " << s[0] << "," << s[1] << "," << s[2] << " d "
                                                  << d[0] << "," << d[1] << "," << d[2];
        }
    }
    EXPECT_EQ(listed, 33);  // 34..48, 249..262, 295, 340, 387, 388
    EXPECT_EQ(findMixMode(kMixModeNormal)->name, "Normal");
    EXPECT_EQ(findMixMode(42)->name, "Soft Light");
    EXPECT_EQ(findMixMode(100), nullptr);
}

}  // namespace
}  // namespace plr::test
