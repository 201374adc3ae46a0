#pragma once
// Exact integer division without a divide instruction, for the dab's fast
// loop. Both give floor(x / d) for every 32-bit x; tests check them against
// the plain division over their whole input range.
#include <cstdint>

namespace plr::dab {

// x / 65535: multiply by ceil(2^47 / 65535) and shift.
constexpr std::uint32_t div65535(std::uint32_t x) noexcept {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(x) * 0x80008001ull) >> 47);
}

// x / d for 1 <= d <= 65535 with the reciprocal of d computed once: the
// double product is within one of the quotient, and one step each way puts
// it right.
inline std::uint32_t divideBy(std::uint32_t x, std::uint32_t d, double reciprocal) noexcept {
    std::uint32_t q = static_cast<std::uint32_t>(static_cast<double>(x) * reciprocal);
    const std::uint64_t p = static_cast<std::uint64_t>(q) * d;
    if (p > x) return q - 1;
    if (p + d <= x) return q + 1;
    return q;
}

}  // namespace plr::dab
