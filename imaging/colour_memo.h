#pragma once
// Remembers the result of an expensive pure function of a 24-bit colour for
// recently seen colours. Pictures repeat colours heavily (flat areas, limited
// palettes), so per-pixel colour-space round trips mostly become a look-up;
// because the function is pure, results are identical to calling it for
// every pixel. Direct-mapped, 4096 entries, 32 KB: lives on the stack of the
// walk that uses it and needs no allocation.
#include <cstdint>

namespace plr {

class ColourMemo {
public:
    static constexpr int kBits = 12;
    static constexpr std::uint32_t kEntries = 1u << kBits;

    ColourMemo() noexcept {
        for (std::uint32_t i = 0; i < kEntries; ++i) keys_[i] = kEmpty;
    }

    // `colour` is red | green << 8 | blue << 16; `compute(colour)` yields the
    // value to remember (any 32 bits).
    template <class F>
    std::uint32_t get(std::uint32_t colour, F&& compute) {
        const std::uint32_t slot = (colour * 0x9E3779B1u) >> (32 - kBits);
        if (keys_[slot] == colour) return values_[slot];
        const std::uint32_t v = compute(colour);
        keys_[slot] = colour;
        values_[slot] = v;
        return v;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // never a 24-bit colour
    std::uint32_t keys_[kEntries];
    std::uint32_t values_[kEntries];
};

inline std::uint32_t colourKey(const std::uint8_t* px) noexcept {
    return std::uint32_t{px[0]} | std::uint32_t{px[1]} << 8 | std::uint32_t{px[2]} << 16;
}

}  // namespace plr
