// Pen-tablet input over the platform's tablet context.
#include "brush/tablet.h"

#include <algorithm>
#include <cmath>

namespace plr {

namespace {

constexpr std::int32_t kDiscardAll = 1000;  // more than any driver queues

// The packet at `index` of the last batch, or null past it (or without a context).
const platform::TabletPacket* packetAt(const TabletState& t, std::int32_t index) noexcept {
    if (!t.context || index < 0 || index >= t.packetCount) return nullptr;
    return &t.packets[static_cast<std::size_t>(index)];
}

// trunc(scale x pressure), held to the 32-bit range.
std::int32_t scaledPressure(const TabletState& t, const platform::TabletPacket& p) noexcept {
    const float v = t.pressureScale * static_cast<float>(p.pressure);
    if (!(v < 2147483520.0f)) return std::isnan(v) ? 0 : INT32_MAX;
    return static_cast<std::int32_t>(v);
}

}  // namespace

bool initTablet(TabletState& t, void* window) noexcept {
    t.ownerWindow = window;
    platform::TabletAxis axis;
    if (!platform::tabletPressureAxis(axis)) return false;
    t.pressureMinimum = axis.minimum;
    t.pressureMaximum = axis.maximum;
    t.pressureRange = static_cast<std::int32_t>(static_cast<std::int64_t>(axis.maximum) - axis.minimum);
    // A device reporting an empty or inverted axis has no usable pressure:
    // its packets read as the floor instead of an infinite scale.
    t.pressureScale = t.pressureRange > 0 ? 100.0f / static_cast<float>(t.pressureRange) : 0.0f;
    if (t.context) closeTablet(t);  // a second init replaces the context rather than leaking it
    t.context = platform::openTabletContext(window);
    return t.context && platform::setTabletQueueSize(t.context, kTabletPacketCapacity);
}

void closeTablet(TabletState& t) noexcept {
    if (t.context) platform::closeTabletContext(t.context);
    t.context = nullptr;
    t.packetCount = 0;
}

void setTabletOrigin(TabletState& t) noexcept {
    if (t.context) t.origin = platform::clientOriginOnScreen(t.ownerWindow);
}

void resetTabletPressure(TabletState& t) noexcept {
    t.lastPressure = 10;
    if (t.context) platform::takeTabletPackets(t.context, kDiscardAll, nullptr);
}

std::int32_t readTabletPackets(TabletState& t) noexcept {
    t.packetCount = t.context ? std::clamp(platform::takeTabletPackets(t.context, kTabletPacketCapacity,
                                                                       t.packets.data()),
                                           0, kTabletPacketCapacity)
                              : 0;
    return t.packetCount;
}

std::int32_t tabletPressure(TabletState& t, std::int32_t index) noexcept {
    if (!t.context) return t.lastPressure;
    if (const platform::TabletPacket* p = packetAt(t, index)) {
        t.lastPressure = std::max(scaledPressure(t, *p), 1);
        return t.lastPressure;
    }
    const std::int32_t pressure = t.lastPressure;
    t.lastPressure = std::min(t.lastPressure + 25, 100);
    return pressure;
}

std::int32_t rawTabletPressure(const TabletState& t, std::int32_t index) noexcept {
    const platform::TabletPacket* p = packetAt(t, index);
    return p ? scaledPressure(t, *p) : 0;
}

std::uint32_t packetStatus(const TabletState& t, std::int32_t index) noexcept {
    const platform::TabletPacket* p = packetAt(t, index);
    return p ? p->status : 0;
}

bool isPacketInvert(const TabletState& t, std::int32_t index) noexcept {
    return (packetStatus(t, index) & platform::kTabletInvertBit) != 0;
}

std::int32_t tabletX(const TabletState& t, std::int32_t index) noexcept {
    const platform::TabletPacket* p = packetAt(t, index);
    return p ? static_cast<std::int32_t>(static_cast<std::uint32_t>(p->x) - static_cast<std::uint32_t>(t.origin.x)) : 0;
}

std::int32_t tabletY(const TabletState& t, std::int32_t index) noexcept {
    const platform::TabletPacket* p = packetAt(t, index);
    return p ? static_cast<std::int32_t>(static_cast<std::uint32_t>(p->y) - static_cast<std::uint32_t>(t.origin.y)) : 0;
}

}  // namespace plr
