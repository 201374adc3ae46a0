#pragma once
// How script numbers become engine values. Scripts pass doubles (a number, a
// numeric string, or 0 for anything else); every conversion to an integer
// truncates toward zero, and NaN, which no pixel or bit pattern stands for,
// reads as 0.
#include <cstdint>

#include "imaging/colour_spaces.h"

namespace plr::script {

// A colour channel 0..1 as a byte: trunc(v * 255), pinned to 0..255, NaN 0;
// truncToByte(v * 255) without branches (the pixel writers run it per
// channel).
inline std::uint8_t channelByte(double v) noexcept {
    double t = v * 255.0;
    t = t > 0.0 ? t : 0.0;  // also NaN
    t = t < 255.0 ? t : 255.0;
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(t));
}

// v held to lo..hi; NaN gives lo.
inline double clampTo(double v, double lo, double hi) noexcept {
    if (!(v > lo)) return lo;
    return v > hi ? hi : v;
}

// trunc(v), saturated to the 64-bit range; NaN gives 0.
inline std::int64_t truncToInt64(double v) noexcept {
    if (!(v == v)) return 0;
    if (v >= 9223372036854775807.0) return INT64_MAX;
    if (v <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<std::int64_t>(v);
}

// trunc(v), saturated to the 32-bit range; NaN gives 0.
inline std::int32_t truncToInt32(double v) noexcept {
    const std::int64_t t = truncToInt64(v);
    return t > INT32_MAX ? INT32_MAX : t < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(t);
}

// The low 32 bits of an integer, read as signed.
inline std::int32_t low32(std::int64_t v) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

// A mask value from 0..1: trunc(v * 65535), pinned to 0..65535.
inline std::uint16_t maskValue(double v) noexcept {
    const double t = clampTo(v * 65535.0, 0.0, 65535.0);
    return static_cast<std::uint16_t>(t);
}

// The bit functions: arguments truncated to integers, results cut to a
// signed 32-bit integer; shift counts taken modulo 32.
inline std::int32_t bitNot(double a) noexcept { return ~low32(truncToInt64(a)); }
inline std::int32_t bitAnd(double a, double b) noexcept { return low32(truncToInt64(a) & truncToInt64(b)); }
inline std::int32_t bitOr(double a, double b) noexcept { return low32(truncToInt64(a) | truncToInt64(b)); }
inline std::int32_t bitXor(double a, double b) noexcept { return low32(truncToInt64(a) ^ truncToInt64(b)); }
// Arithmetic: the sign is copied in.
inline std::int32_t bitShiftRight(double a, double n) noexcept {
    return low32(truncToInt64(a)) >> (truncToInt64(n) & 31);
}
inline std::int32_t bitShiftLeft(double a, double n) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low32(truncToInt64(a))) << (truncToInt64(n) & 31));
}

}  // namespace plr::script
