#pragma once
#include <cstdint>

namespace plr {

// How the page maps onto the host's canvas bitmap.
struct View {
    std::int32_t scale = 1;  // display pixels per page pixel (magnification)
    float zoom = 1.0f;       // page pixels per display pixel (reduction)
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int32_t viewWidth = 0;
    std::int32_t viewHeight = 0;
};

}  // namespace plr
