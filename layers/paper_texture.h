#pragma once
#include <cstdint>

namespace plr {

struct PageLayers;

// Builds the paper texture from a slot's colours: clamp((r + g + b) / 768, 4, 250)
// per page pixel. Returns the texture plane, or null (failure text
// "CreateTexture Excpt", or a slot without page-sized pixels).
std::uint8_t* createTexture(PageLayers& page, std::int32_t layerIndex) noexcept;
void deleteTexture(PageLayers& page) noexcept;

}  // namespace plr
