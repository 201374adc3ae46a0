#pragma once
// Buffer sizes from 32-bit dimensions. Products saturate at SIZE_MAX so that
// an impossible size makes the allocation fail instead of wrapping around
// (which on 32-bit builds would hand back a block smaller than the walk).
#include <cstddef>
#include <cstdint>

namespace plr {

constexpr std::size_t saturatingProduct(std::uint64_t a, std::uint64_t b, std::uint64_t c = 1) noexcept {
    if (a == 0 || b == 0 || c == 0) return 0;
    const std::uint64_t limit = SIZE_MAX;
    if (a > limit / b) return SIZE_MAX;
    const std::uint64_t ab = a * b;
    if (ab > limit / c) return SIZE_MAX;
    return static_cast<std::size_t>(ab * c);
}

}  // namespace plr
