#pragma once
// Pen tablets: the driver's pressure axis, a context that queues packets for
// the owner window, and the window's client origin on the screen. Windows
// reaches the driver through Wintab32.dll, loaded the first time it is
// needed so that machines without a tablet driver still load the engine;
// elsewhere there is no tablet driver. Either way a fed tablet (below) can
// stand in for the driver, so the packet logic runs the same everywhere.
#include <cstdint>

namespace plr::platform {

// One packet as the context delivers it: status, position in screen
// pixels (y growing downward), normal pressure.
struct TabletPacket {
    std::uint32_t status = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t pressure = 0;
};
static_assert(sizeof(TabletPacket) == 16, "the context delivers 16-byte packets");

// Status bit of a packet sent by the pen's eraser end.
inline constexpr std::uint32_t kTabletInvertBit = 0x10;

struct TabletAxis {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
};

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

using TabletContext = void*;

// The device's normal-pressure axis; false without a driver or device.
bool tabletPressureAxis(TabletAxis& axis) noexcept;
// Opens the system-cursor context on `window` reporting status, x, y and
// normal pressure in screen pixels; null when it cannot be opened.
TabletContext openTabletContext(void* window) noexcept;
// Sizes the context's packet queue; false when the driver refuses.
bool setTabletQueueSize(TabletContext context, std::int32_t packets) noexcept;
// Moves up to `maximum` queued packets into `buffer` (null: discards them);
// the number moved.
std::int32_t takeTabletPackets(TabletContext context, std::int32_t maximum, TabletPacket* buffer) noexcept;
void closeTabletContext(TabletContext context) noexcept;
// The screen position of the window's client-area origin.
ScreenPoint clientOriginOnScreen(void* window) noexcept;

// The fed tablet: while in use, the functions above answer from it instead
// of the driver: it reports `axis`, opens one context, places every window's
// client origin at `windowOrigin` and delivers the packets fed to it, oldest
// first. Test harnesses and replay tools feed it.
void useFedTablet(const TabletAxis& axis, ScreenPoint windowOrigin) noexcept;
// Back to the system's driver; drops packets still queued.
void useSystemTablet() noexcept;
// Queues packets on the fed tablet (up to 4096 queued; the rest are dropped,
// as a full driver queue drops them).
void feedTabletPackets(const TabletPacket* packets, std::int32_t count) noexcept;

}  // namespace plr::platform
