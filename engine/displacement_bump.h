#pragma once
// Bump-map displacement of the current layer by a texture made by a stored
// effect script.
#include <cstdint>

namespace plr {

struct Page;

// The script at `path` is rendered, tiled over a page-sized map and turned
// to grey; SrcBuffer32 (as it stands, normally refreshed and premultiplied by
// the caller) is displaced along the map's slopes by up to `amount` pixels
// into DstBuffer32, wrapping at the edges (`fillColour` packs the fill's
// bytes, red in the low byte); the result is divided by alpha and loaded into
// the current layer through the mask. When the script does not load nothing
// changes: the map would hold nothing to displace by. A refused allocation
// raises a failure after freeing what was taken.
void displacementBump(Page& page, const char* path, double amount, std::uint32_t fillColour);

}  // namespace plr
