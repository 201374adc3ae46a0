// The tablet services: the fed tablet when one is in use, the system's driver
// otherwise.
#include <algorithm>
#include <array>

#include "platform/tablet.h"
#include "platform/tablet_system.h"

namespace plr::platform {

namespace {

struct FedTablet {
    bool inUse = false;
    bool contextOpen = false;
    TabletAxis axis;
    ScreenPoint windowOrigin;
    std::array<TabletPacket, 4096> queue{};
    std::size_t first = 0;  // oldest queued packet
    std::size_t count = 0;
};

FedTablet& fed() noexcept {
    static FedTablet tablet;
    return tablet;
}

// The one context the fed tablet opens; any non-null value names it.
TabletContext fedContext() noexcept { return &fed(); }

}  // namespace

void useFedTablet(const TabletAxis& axis, ScreenPoint windowOrigin) noexcept {
    FedTablet& f = fed();
    f = FedTablet{};
    f.inUse = true;
    f.axis = axis;
    f.windowOrigin = windowOrigin;
}

void useSystemTablet() noexcept { fed() = FedTablet{}; }

void feedTabletPackets(const TabletPacket* packets, std::int32_t count) noexcept {
    FedTablet& f = fed();
    for (std::int32_t i = 0; packets && i < count && f.count < f.queue.size(); ++i)
        f.queue[(f.first + f.count++) % f.queue.size()] = packets[i];
}

bool tabletPressureAxis(TabletAxis& axis) noexcept {
    if (!fed().inUse) return system_tablet::pressureAxis(axis);
    axis = fed().axis;
    return true;
}

TabletContext openTabletContext(void* window) noexcept {
    if (!fed().inUse) return system_tablet::openContext(window);
    fed().contextOpen = true;
    return fedContext();
}

bool setTabletQueueSize(TabletContext context, std::int32_t packets) noexcept {
    if (!fed().inUse) return system_tablet::setQueueSize(context, packets);
    return context == fedContext() && fed().contextOpen && packets > 0;
}

std::int32_t takeTabletPackets(TabletContext context, std::int32_t maximum, TabletPacket* buffer) noexcept {
    if (!fed().inUse) return system_tablet::takePackets(context, maximum, buffer);
    FedTablet& f = fed();
    if (context != fedContext() || !f.contextOpen || maximum <= 0) return 0;
    const std::size_t moved = std::min(f.count, static_cast<std::size_t>(maximum));
    for (std::size_t i = 0; i < moved; ++i) {
        if (buffer) buffer[i] = f.queue[f.first];
        f.first = (f.first + 1) % f.queue.size();
    }
    f.count -= moved;
    return static_cast<std::int32_t>(moved);
}

void closeTabletContext(TabletContext context) noexcept {
    if (!fed().inUse) return system_tablet::closeContext(context);
    if (context == fedContext()) fed().contextOpen = false;
}

ScreenPoint clientOriginOnScreen(void* window) noexcept {
    if (!fed().inUse) return system_tablet::clientOrigin(window);
    return fed().windowOrigin;
}

}  // namespace plr::platform
