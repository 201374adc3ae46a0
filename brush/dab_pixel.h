#pragma once
// Per-pixel rules of the dab shared by its loops: composing with the target
// (the standard path and the mix-mode path), the remix into the mixing
// buffer and the write rules with their locks. All channel arithmetic is
// unsigned 32-bit on 16-bit values.
#include <algorithm>
#include <cstdint>

#include "brush/brush_settings.h"
#include "brush/dab_mix_modes.h"

namespace plr::dab {

using u32 = std::uint32_t;

// Standard path (mix modes below 34). D is the target pixel; S has alpha 0
// in erase mode. Divisions are the plain ones the arithmetic is defined by.
inline void composeStandard(const BrushSettings& st, bool bufferActive, bool smudgeOrNormal, u32 y, const u32 s[4],
                            const u32 d[4], u32 r[3], u32& ra) noexcept {
    const u32 da = d[3], sa = s[3];
    if (da == 0) {
        ra = (y * sa) >> 16;
        r[0] = s[0], r[1] = s[1], r[2] = s[2];
        return;
    }
    if (bufferActive && smudgeOrNormal) {  // smudge
        ra = ((((65536 - y) * da) >> 8) + ((y * sa) >> 8)) >> 8;
        for (int c = 0; c < 3; ++c) r[c] = sa != 0 ? ((((65536 - y) * d[c]) >> 8) + ((y * s[c]) >> 8)) >> 8 : d[c];
        return;
    }
    if (st.eraseMode) {
        ra = ((65535 - y) * da) >> 16;
        r[0] = d[0], r[1] = d[1], r[2] = d[2];
        return;
    }
    const u32 sc = (y * sa) / 65535;
    ra = ((65535 - da) * sc) / 65535 + da;
    for (int c = 0; c < 3; ++c) {
        const u32 dd = (d[c] * da) >> 16;
        if (smudgeOrNormal) {
            r[c] = ((dd * (65535 - sc)) / 65535 + ((sc * s[c]) >> 16)) * 65535 / ra;
        } else {  // Multiply
            const u32 e = (sc * s[c]) >> 16;
            r[c] = (((65535 - sc) * dd) / 65535 + ((65535 - da) * e) / 65535 + (dd * e) / 65535) * 65535 / ra;
        }
    }
}

// Mix-mode path. `d` is adjusted in place (the remix reads it after). Returns
// false when the mode leaves the pixel unchanged.
inline bool composeMix(const BrushSettings& st, const Color16 banks[4], u32 y, const u32 s[4], u32 d[4], u32 r[3],
                       u32& ra) noexcept {
    const u32 da = d[3];
    if (da == 0) {
        d[0] = s[0], d[1] = s[1], d[2] = s[2];
    } else if (da < 65535) {
        const u32 t = std::min<u32>(65535, (((65535 - da) * y) >> 16) * 3);
        for (int c = 0; c < 3; ++c) d[c] = ((((65535 - t) * d[c]) >> 8) + ((t * s[c]) >> 8)) >> 8;
    }
    ra = s[3];
    u32 x[3], l = 0;
    const MixOutcome outcome = mixModeValue(st.mixMode, s, d, banks, st.posterizeShift, x, l);
    const u32 ms = static_cast<u32>(st.mixStrength), mi = static_cast<u32>(st.mixStrengthInverse);
    r[0] = r[1] = r[2] = 0;
    switch (outcome) {
        case MixOutcome::Unchanged:
            return false;
        case MixOutcome::Direct:
            r[0] = x[0], r[1] = x[1], r[2] = x[2];
            break;
        case MixOutcome::Grey:
            r[0] = r[1] = r[2] = 32767;
            d[0] = d[1] = d[2] = 32767;
            ra = l;
            break;
        case MixOutcome::Value:
            for (int c = 0; c < 3; ++c) r[c] = (((mi * s[c]) >> 4) + ((ms * x[c]) >> 4)) >> 4;
            break;
    }
    if (y < 65535) {
        for (int c = 0; c < 3; ++c)
            r[c] = std::min<u32>(65535, ((((r[c] * y) >> 8) + (((65536 - y) * d[c]) >> 8)) >> 8) + 1);
        ra = (((ra * y) >> 8) + (((65536 - y) * da) >> 8)) >> 8;
    }
    return true;
}

// Writes the composed pixel back into the mixing buffer, with blend strength
// bs and its inverse bi.
inline void remixWith(u32 bs, u32 bi, std::uint16_t* m, const u32 s[4], const u32 d[4]) noexcept {
    if (s[3] == 0) {
        m[0] = static_cast<std::uint16_t>(d[0]), m[1] = static_cast<std::uint16_t>(d[1]);
        m[2] = static_cast<std::uint16_t>(d[2]);
        m[3] = static_cast<std::uint16_t>((bi * d[3]) >> 8);
    } else if (d[3] == 0) {
        m[0] = static_cast<std::uint16_t>(s[0]), m[1] = static_cast<std::uint16_t>(s[1]);
        m[2] = static_cast<std::uint16_t>(s[2]);
        m[3] = static_cast<std::uint16_t>((bs * s[3]) >> 8);
    } else {
        for (int c = 0; c < 3; ++c)
            m[c] = static_cast<std::uint16_t>(std::min<u32>(65535, ((bi * d[c] + bs * s[c]) >> 8) + 1));
        m[3] = static_cast<std::uint16_t>((bi * d[3] + bs * s[3]) >> 8);
    }
}
inline void remix(const BrushSettings& st, std::uint16_t* m, const u32 s[4], const u32 d[4]) noexcept {
    remixWith(static_cast<u32>(st.blendStrength), static_cast<u32>(st.blendStrengthInverse), m, s, d);
}

// The write rules: colour unless colour-locked; alpha where the layer allows
// it and the blob lock agrees; erasing writes alpha only.
inline void writeTarget(const BrushSettings& st, bool alphaWritable, std::uint16_t* px, u32 da, const u32 r[3],
                        u32 ra) noexcept {
    if (st.eraseMode) {
        if (!st.blobLocked)
            px[3] = static_cast<std::uint16_t>(ra);
        else if (da > 8191)
            px[3] = static_cast<std::uint16_t>(std::max<u32>(ra, 9215));
        return;
    }
    if (!st.colorLocked) {
        px[0] = static_cast<std::uint16_t>(r[0]);
        px[1] = static_cast<std::uint16_t>(r[1]);
        px[2] = static_cast<std::uint16_t>(r[2]);
    }
    if (alphaWritable && (!st.blobLocked || (da > 8191 && ra > 8191)))
        px[3] = static_cast<std::uint16_t>(st.alphaLevel >= 1 ? static_cast<u32>(st.alphaLevel) : ra);
}

}  // namespace plr::dab
