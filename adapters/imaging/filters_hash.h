#pragma once
// Integer hashing for the filters that scatter things by position: the same
// inputs give the same bits on every platform and build.
#include <cstdint>

namespace plr::imaging_lib {

inline std::uint32_t mix32(std::uint32_t h) noexcept {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

inline std::uint32_t hash3(std::uint32_t a, std::uint32_t b, std::uint32_t c) noexcept {
    return mix32(a * 0x9E3779B1u ^ mix32(b * 0x85EBCA77u ^ mix32(c + 0x27D4EB2Fu)));
}

}  // namespace plr::imaging_lib
