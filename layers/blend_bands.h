#pragma once
// A blend request of many rows split into bands of rows blended on the
// engine's threads: each band is the same request cut to its rows, so the
// result is blend()'s bytes for any thread count.
#include "layers/blend_request.h"

namespace plr {

void blendInBands(const BlendRequest& request) noexcept;

}  // namespace plr
