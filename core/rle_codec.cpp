#include "core/rle_codec.h"

#include <cstring>

#include "core/pixel_rows.h"

namespace plr {
namespace {

// The 8-bit form of RGBA64 pixel i as four bytes in one word.
std::uint32_t narrowKey(const std::uint8_t* src, std::size_t i) noexcept {
    const std::uint8_t* p = src + 8 * i;
    return std::uint32_t{p[1]} | std::uint32_t{p[3]} << 8 | std::uint32_t{p[5]} << 16 | std::uint32_t{p[7]} << 24;
}

// Shared run finder: emit(value, count) for every maximal run of key(i).
template <class Key, class Emit>
void eachRun(std::size_t n, Key key, Emit emit) noexcept {
    if (n == 0) return;
    auto run = key(0);
    std::size_t count = 1;
    for (std::size_t i = 1; i < n; ++i) {
        const auto k = key(i);
        if (k == run && count < kMaxRun) {
            ++count;
        } else {
            emit(run, count);
            run = k;
            count = 1;
        }
    }
    emit(run, count);
}

}  // namespace

std::size_t encodeRGBA32Runs(const std::uint8_t* src, std::size_t n, std::uint8_t* dst) noexcept {
    std::size_t out = 0;
    eachRun(
        n, [&](std::size_t i) { return narrowKey(src, i); },
        [&](std::uint32_t v, std::size_t count) {
            dst[out] = static_cast<std::uint8_t>(count);
            std::memcpy(dst + out + 1, &v, 4);  // red, green, blue, alpha
            out += kRGBA32RunBytes;
        });
    return out;
}

std::size_t encodeG8Runs(const std::uint8_t* src, std::size_t n, std::uint8_t* dst) noexcept {
    std::size_t out = 0;
    eachRun(
        n, [&](std::size_t i) { return src[2 * i + 1]; },
        [&](std::uint8_t v, std::size_t count) {
            dst[out] = static_cast<std::uint8_t>(count);
            dst[out + 1] = v;
            out += kG8RunBytes;
        });
    return out;
}

std::size_t decodeRGBA32Runs(const std::uint8_t* src, std::size_t srcBytes, std::uint8_t* dst, std::size_t n) noexcept {
    std::size_t in = 0, p = 0;
    while (p < n && srcBytes - in >= kRGBA32RunBytes) {
        const std::uint8_t* r = src + in;
        std::size_t k = r[0];
        if (k > n - p) k = n - p;
        const std::uint64_t px =
            packPixel64(static_cast<std::uint16_t>(r[1] << 8), static_cast<std::uint16_t>(r[2] << 8),
                        static_cast<std::uint16_t>(r[3] << 8), static_cast<std::uint16_t>(r[4] << 8));
        fillRow64(dst + 8 * p, px, k);
        p += k;
        in += kRGBA32RunBytes;
    }
    return in;
}

std::size_t decodeG8Runs(const std::uint8_t* src, std::size_t srcBytes, std::uint8_t* dst, std::size_t n) noexcept {
    std::size_t in = 0, p = 0;
    while (p < n && srcBytes - in >= kG8RunBytes) {
        std::size_t k = src[in];
        if (k > n - p) k = n - p;
        const std::uint8_t v = src[in + 1];
        for (std::size_t i = 0; i < k; ++i) {
            dst[2 * (p + i)] = 0;
            dst[2 * (p + i) + 1] = v;
        }
        p += k;
        in += kG8RunBytes;
    }
    return in;
}

}  // namespace plr
