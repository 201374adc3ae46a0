#pragma once
// Pasting an RGBA32 picture into a layer with a blend mode: the one paste
// that drawing, filters, scripts and the clipboard use.
#include <cstdint>

namespace plr {

struct PageLayers;
struct LayerRecord;

// Widens the packed page-sized RGBA32 `image` (each byte x 256) into a
// temporary plane and blends it over the whole of `target` (a page-sized
// layer) with the given mode, mask mode, opacity (0..256) and alpha lock.
// No mask plane takes part. False, and nothing changed, when the target is
// not page-sized, the image is null or the temporary plane cannot be had.
bool mergeRGBA32IntoLayer(PageLayers& page, const std::uint8_t* image, LayerRecord& target, std::int32_t mode,
                          std::int32_t maskMode, std::int32_t opacity, bool alphaLock) noexcept;

}  // namespace plr
