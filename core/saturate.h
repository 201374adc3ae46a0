#pragma once
// 32-bit results of arithmetic on extreme host arguments: worked in 64 bits
// and held to the 32-bit range, so a value the host passes at the edge of
// its type gives the nearest representable result instead of wrapping.
#include <cstdint>
#include <limits>

namespace plr {

constexpr std::int32_t saturate32(std::int64_t v) noexcept {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v < lo ? lo : v > hi ? hi : v);
}

}  // namespace plr
