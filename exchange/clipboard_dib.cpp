#include "exchange/clipboard_dib.h"

#include <cstdint>

#include "exchange/formats/dib.h"

namespace plr {

bool decodeClipboardDib(const std::uint8_t* dib, std::size_t size, formats::RgbaImage& out) noexcept {
    out = formats::RgbaImage{};
    if (!dib) return false;
    // The info part (header, masks, palette) must lie inside the block; the
    // rows follow it directly.
    const std::size_t info = formats::dibInfoBytes(dib, size);
    if (info == 0 || info > size) return false;
    std::int32_t width = 0, height = 0;
    if (!formats::dibSize(dib, info, width, height) || width <= 0 || height <= 0) return false;
    if (!formats::decodeDib(dib, info, dib + info, size - info, out)) {
        const bool outOfMemory = out.outOfMemory;
        out = formats::RgbaImage{};
        out.outOfMemory = outOfMemory;  // the caller tells memory from a bad block
        return false;
    }
    return true;
}

std::size_t clipboardBlockBytes(std::int32_t width, std::int32_t height) noexcept {
    if (width <= 0 || height <= 0) return 0;
    const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 4u + 4000u;
    return bytes > INT32_MAX ? 0 : static_cast<std::size_t>(bytes);
}

}  // namespace plr
