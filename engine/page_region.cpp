#include "engine/page_region.h"

#include "adapters/imaging/drawing_fill.h"
#include "core/failure.h"
#include "mask/builders.h"
#include "mask/flood_map.h"
#include "mask/free_colour.h"

namespace plr {
namespace {

std::uint32_t seedColourOf(const std::uint8_t* rgba, std::int32_t width, const RegionSeed& s) noexcept {
    const std::uint8_t* p = rgba + (static_cast<std::size_t>(s.y) * static_cast<std::size_t>(width) + s.x) * 4;
    return p[0] | p[1] << 8 | std::uint32_t{p[2]} << 16;
}

}  // namespace

Block<std::uint8_t> regionMap(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                              std::int32_t bytesPerPixel, const RegionSeed& seed) {
    Block<std::uint8_t> map;
    need(map.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)));
    need(imaging_lib::GetColorMatchMaskFromImage(pixels, width, height, bytesPerPixel, width * bytesPerPixel, map.data(),
                                                 width, seed.x, seed.y, seed.connected ? 1 : 0,
                                                 seed.squaredTolerance) != 0,
         "colour match map");
    return map;
}

PageRegion::PageRegion(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const RegionSeed& seed,
                       std::uint32_t marker)
    : rgba_(rgba), width_(width), height_(height), marker_(marker) {
    const std::int32_t stride = width * 4;
    if (marker_ == kNoFreeColour) {
        map_ = regionMap(rgba_, width, height, 4, seed);
    } else if (seed.connected) {
        need(imaging_lib::FloodFillImage(rgba_, width, height, 4, stride, seed.x, seed.y, marker_,
                                         seed.squaredTolerance) != 0,
             "flood fill");
    } else {
        need(imaging_lib::ColorReplaceImage(rgba_, width, height, 4, stride, seedColourOf(rgba_, width, seed), marker_,
                                            seed.squaredTolerance, imaging_lib::kReplaceColourOnly) != 0,
             "colour replace");
    }
}

void PageRegion::paint(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t alpha) {
    if (!map_.empty()) return paintFloodMap(rgba_, map_.data(), count(), red, green, blue, alpha);
    const std::uint32_t colour = std::uint32_t(red & 0xFF) | std::uint32_t(green & 0xFF) << 8 |
                                 std::uint32_t(blue & 0xFF) << 16 | std::uint32_t(alpha & 0xFF) << 24;
    need(imaging_lib::ColorReplaceImage(rgba_, width_, height_, 4, width_ * 4, marker_, colour, 0,
                                        imaging_lib::kReplaceWithAlpha) != 0,
         "colour replace");
}

void PageRegion::mask(std::uint16_t* plane, std::uint16_t value) const noexcept {
    if (!map_.empty()) return maskFromFloodMap(plane, count(), map_.data(), value);
    maskFromColourRGBA(plane, count(), rgba_, marker_ & 0xFF, marker_ >> 8 & 0xFF, marker_ >> 16 & 0xFF, value);
}

}  // namespace plr
