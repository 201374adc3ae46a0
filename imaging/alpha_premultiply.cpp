#include "imaging/alpha_premultiply.h"

#include <array>

namespace plr {

namespace reference {

std::uint8_t premultiply8(std::uint8_t v, std::uint8_t alpha) noexcept {
    return static_cast<std::uint8_t>(static_cast<int>(alpha * kInv255 * (v + 1)));
}

std::uint8_t unpremultiply8(std::uint8_t v, std::uint8_t alpha) noexcept {
    const unsigned q = v * 255u / alpha;
    return static_cast<std::uint8_t>(q > 255 ? 255 : q);
}

}  // namespace reference

namespace {

// 64 KB tables indexed [alpha][v], filled once from the reference formulas:
// the per-pixel double arithmetic becomes a load, with identical results.
struct Tables {
    std::array<std::uint8_t, 256 * 256> mul{};
    std::array<std::uint8_t, 256 * 256> div{};
    Tables() {
        for (int a = 0; a < 256; ++a)
            for (int v = 0; v < 256; ++v) {
                mul[a * 256 + v] = reference::premultiply8(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(a));
                div[a * 256 + v] =
                    a ? reference::unpremultiply8(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(a))
                      : static_cast<std::uint8_t>(v);
            }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

template <bool kSkipOpaque>
void applyTable(std::uint8_t* px, std::size_t count, const std::uint8_t* table) noexcept {
    for (std::size_t i = 0; i < count; ++i, px += 4) {
        const unsigned a = px[3];
        if (a == 0 || (kSkipOpaque && a == 255)) continue;
        const std::uint8_t* row = table + a * 256;
        px[0] = row[px[0]];
        px[1] = row[px[1]];
        px[2] = row[px[2]];
    }
}

}  // namespace

void premultiplyRGBA32(std::uint8_t* px, std::size_t count) noexcept {
    applyTable<true>(px, count, tables().mul.data());
}

void unpremultiplyRGBA32(std::uint8_t* px, std::size_t count) noexcept {
    applyTable<true>(px, count, tables().div.data());
}

void unpremultiplyRGBA32AllAlphas(std::uint8_t* px, std::size_t count) noexcept {
    applyTable<false>(px, count, tables().div.data());
}

void premultiplyRGBA64(std::uint16_t* px, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i, px += 4) {
        const unsigned a = px[3];
        if (a == 0) continue;
        const double f = a * kInv65535;
        for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(f * px[c]));
    }
}

void unpremultiplyRGBA64(std::uint16_t* px, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i, px += 4) {
        const std::uint32_t a = px[3];
        if (a == 0) continue;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t q = px[c] * 65535u / a;
            px[c] = static_cast<std::uint16_t>(q > 65535 ? 65535 : q);
        }
    }
}

}  // namespace plr
