#include "engine/page_fill_run.h"

#include "core/failure.h"
#include "engine/page_buffers.h"
#include "layers/layer_read.h"
#include "mask/flood_map.h"
#include "mask/free_colour.h"

namespace plr::fill_run {

SourceLease::SourceLease(Page& page) : page_(page) { allocSrcBuffer32(page); }

bool canStart(Page& page, std::int32_t x, std::int32_t y) noexcept {
    return x >= 0 && y >= 0 && x < page.width && y < page.height && page.currentPageLayer();
}

PageRegion findRegion(Page& page, std::uint8_t* rgba, std::int32_t x, std::int32_t y, std::int32_t tolerance,
                      bool connected) {
    const std::uint32_t marker = findFreeColour(rgba, page.pixelCount());
    return PageRegion(rgba, page.width, page.height, {x, y, fillSquaredTolerance(tolerance), connected}, marker);
}

Block<std::uint8_t> findRegionMap(Page& page, const std::uint8_t* rgba, std::int32_t x, std::int32_t y,
                                  std::int32_t tolerance, bool connected) {
    return regionMap(rgba, page.width, page.height, 4, {x, y, fillSquaredTolerance(tolerance), connected});
}

Block<std::uint8_t> alphaRegionMap(Page& page, std::int32_t x, std::int32_t y, std::int32_t tolerance) {
    Block<std::uint8_t> grey;
    need(grey.allocate(page.pixelCount() * 3));
    need(readAlphaAsRGB24(page, page.currentPageLayer(), grey.data(), page.width * 3), "alpha picture");
    return regionMap(grey.data(), page.width, page.height, 3, {x, y, fillSquaredTolerance(tolerance), true});
}

}  // namespace plr::fill_run
