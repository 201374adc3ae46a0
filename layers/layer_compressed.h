#pragma once
// Deflate-compressed layer transfers: a layer travels as its packed,
// page-sized RGBA32 form (width * 4 bytes a row) through the imaging
// library's deflate and inflate. Both use one temporary page-sized buffer,
// released on every path; when it cannot be allocated they raise
// EngineFailure, so run them under the guard.
#include <cstdint>

namespace plr {

struct PageLayers;

// Inflates `length` bytes and loads the result into the slot at (0, 0),
// full size, without coverage. Loads only a stream that inflates to exactly
// width * height * 4 bytes; anything else (corrupt, truncated, too long,
// another size) loads nothing and gives false. False also for a null
// source, a non-positive length, a slot without page-sized pixels and a page
// without pixels.
bool loadCompressedLayer(PageLayers& page, const std::uint8_t* src, std::int32_t length, std::int32_t layerIndex);

// Deflates the slot's packed RGBA32 form into `dst` (capacity bytes), passing
// `option` through to the library. The library's result: the compressed size,
// or 0 when it does not fit. 0 also for a null destination, a non-positive
// capacity, a slot without page-sized pixels and a page without pixels.
std::uint32_t getCompressedLayer(PageLayers& page, std::uint8_t* dst, std::int32_t capacity, std::int32_t layerIndex,
                                 std::int32_t option);

}  // namespace plr
