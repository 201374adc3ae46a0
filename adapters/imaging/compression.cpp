#include "adapters/imaging/compression.h"

#include <zlib.h>

namespace plr::imaging_lib {

std::uint32_t ZDeflateBuffer(const void* buffer, std::uint32_t length, void* destination,
                             std::uint32_t capacity, std::int32_t option) noexcept {
    if (!buffer || !destination || capacity == 0) return 0;
    const int level = option >= 0 && option <= 9 ? option : Z_DEFAULT_COMPRESSION;
    uLongf outLen = capacity;
    if (compress2(static_cast<Bytef*>(destination), &outLen, static_cast<const Bytef*>(buffer), length, level) != Z_OK)
        return 0;
    return static_cast<std::uint32_t>(outLen);
}

std::uint32_t ZInflateBuffer(const void* source, std::uint32_t length, void* destination,
                             std::uint32_t capacity) noexcept {
    if (!source || !destination || length == 0) return 0;
    uLongf outLen = capacity;
    uLong inLen = length;
    if (uncompress2(static_cast<Bytef*>(destination), &outLen, static_cast<const Bytef*>(source), &inLen) != Z_OK)
        return 0;
    return static_cast<std::uint32_t>(outLen);
}

}  // namespace plr::imaging_lib
