#pragma once
// The clipboard's picture format: a packed device-independent bitmap (info
// header, optional bit-field masks and palette, then the pixel rows). What
// arrives here comes from other programs and is checked field by field
// against the bytes actually there before anything is read.
#include <cstddef>
#include <cstdint>

#include "exchange/formats/image_formats.h"

namespace plr {

// Decodes a packed DIB of `size` bytes into `out`. Refused (false, `out`
// empty) when a header field does not fit: a header longer than the block,
// a width or height of 0, negative width or beyond the picture size cap, a
// bit count other than 1, 4, 8, 16, 24 or 32, an unknown compression, masks
// or a palette reaching past the end, or pixel rows shorter than declared.
// A 32-bit DIB whose fourth bytes are all 0 is taken as opaque.
bool decodeClipboardDib(const std::uint8_t* dib, std::size_t size, formats::RgbaImage& out) noexcept;

// Bytes a clipboard block needs for a width x height picture: the pixels
// and 4000 bytes of header room. 0 when the size is not positive or the
// block would pass 2^31 bytes.
std::size_t clipboardBlockBytes(std::int32_t width, std::int32_t height) noexcept;

}  // namespace plr
