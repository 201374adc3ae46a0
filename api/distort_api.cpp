// Distortions driven directly by the host.
#include "api/export.h"
#include "engine/page_warp.h"

using namespace plr;

extern "C" {

// Reports nothing: a push that cannot run leaves the layer as it was.
void PLR_WarpPointToPoint(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) noexcept {
    warpPointToPoint(page(), fromX, fromY, toX, toY);
}

}  // extern "C"
