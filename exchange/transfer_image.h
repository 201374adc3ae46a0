#pragma once
// The one process-wide RGBA32 picture through which files, pastes, captures
// and scans enter the engine, and the ways it is read out.
#include <cstdint>

#include "core/block.h"

namespace plr::formats {
struct RgbaImage;
}

namespace plr {

struct TransferImage {
    Block<std::uint8_t> rgba;  // width * height * 4 bytes, packed; empty when absent
    // The size of the last transfer image created, kept after its pixels are freed.
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool present() const noexcept {
        return !rgba.empty() && rgba.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    }
};

// Frees the old pixels, records the size and allocates width x height x 4
// bytes (contents undefined). False when the size is not positive or the
// heap says no (the size stays recorded, the pixels absent).
bool createTransferImage(TransferImage& t, std::int32_t width, std::int32_t height) noexcept;
// Takes over a decoded picture as the new transfer image.
void adoptTransferImage(TransferImage& t, formats::RgbaImage&& picture) noexcept;

// 1 when some pixel's alpha is below 255; 0 when none is or there is no picture.
bool transferImageTransparent(const TransferImage& t) noexcept;
// The pixels as packed RGBA32 (width * 4 a row) or RGB24 (width * 3).
void copyTransferRGBA32(const TransferImage& t, std::uint8_t* destination) noexcept;
void copyTransferRGB24(const TransferImage& t, std::uint8_t* destination) noexcept;
// Scaled to width x height (area averaging when both sides shrink, else
// bilinear) and copied out as packed RGB24. False when the size is not
// positive or memory runs out.
bool copyTransferResizedRGB24(const TransferImage& t, std::uint8_t* destination, std::int32_t width,
                              std::int32_t height) noexcept;

}  // namespace plr
