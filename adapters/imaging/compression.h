#pragma once
// Compression family: deflate and its exact inverse (zlib streams).
#include <cstddef>
#include <cstdint>

namespace plr::imaging_lib {

// Deflates `length` bytes into `destination` (capacity bytes). `option` is the
// compression level 0..9 (anything else: zlib's default). Returns the
// compressed size, or 0 when the destination is too small or an argument is bad.
std::uint32_t ZDeflateBuffer(const void* buffer, std::uint32_t length, void* destination,
                             std::uint32_t capacity, std::int32_t option) noexcept;

// Inflates a stream made by ZDeflateBuffer into `destination`. Returns the
// number of bytes produced, or 0 when the stream is corrupt, truncated, or
// would not fit.
std::uint32_t ZInflateBuffer(const void* source, std::uint32_t length, void* destination,
                             std::uint32_t capacity) noexcept;

}  // namespace plr::imaging_lib
