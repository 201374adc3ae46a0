#pragma once
// Pen-tablet input: the open context, the last batch of packets and the
// pressure ramp the host reads stroke samples from.
#include <array>
#include <cstdint>

#include "platform/tablet.h"

namespace plr {

inline constexpr std::int32_t kTabletPacketCapacity = 256;

struct TabletState {
    platform::TabletContext context = nullptr;
    void* ownerWindow = nullptr;
    std::int32_t pressureMinimum = 0;
    std::int32_t pressureMaximum = 0;
    std::int32_t pressureRange = 0;
    float pressureScale = 0.0f;  // 100 / range: raw pressure to 0..100
    std::array<platform::TabletPacket, kTabletPacketCapacity> packets{};
    std::int32_t packetCount = 0;
    std::int32_t lastPressure = 100;
    platform::ScreenPoint origin;  // the owner's client origin on the screen
};

// Opens a context on `window` with a 256-packet queue; true when both worked.
bool initTablet(TabletState& tablet, void* window) noexcept;
void closeTablet(TabletState& tablet) noexcept;
void setTabletOrigin(TabletState& tablet) noexcept;
// Restarts the pressure ramp at 10 and discards the queued packets.
void resetTabletPressure(TabletState& tablet) noexcept;
// Reads the queued packets (up to 256) into the buffer; their count.
std::int32_t readTabletPackets(TabletState& tablet) noexcept;

// Pressure 1..100 of packet i; past the batch (a mouse sends none) the last
// pressure, which then climbs by 25 towards 100.
std::int32_t tabletPressure(TabletState& tablet, std::int32_t index) noexcept;
// Packet i's pressure scaled to 0..100 without the floor of 1; 0 past the batch.
std::int32_t rawTabletPressure(const TabletState& tablet, std::int32_t index) noexcept;
std::uint32_t packetStatus(const TabletState& tablet, std::int32_t index) noexcept;
bool isPacketInvert(const TabletState& tablet, std::int32_t index) noexcept;
// Packet i's position in the owner window's client coordinates; 0 past the batch.
std::int32_t tabletX(const TabletState& tablet, std::int32_t index) noexcept;
std::int32_t tabletY(const TabletState& tablet, std::int32_t index) noexcept;

}  // namespace plr
