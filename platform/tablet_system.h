#pragma once
// The system's tablet driver behind platform/tablet.h, one per back end; the
// fed tablet (platform/tablet.cpp) chooses between it and itself.
#include "platform/tablet.h"

namespace plr::platform::system_tablet {

bool pressureAxis(TabletAxis& axis) noexcept;
TabletContext openContext(void* window) noexcept;
bool setQueueSize(TabletContext context, std::int32_t packets) noexcept;
std::int32_t takePackets(TabletContext context, std::int32_t maximum, TabletPacket* buffer) noexcept;
void closeContext(TabletContext context) noexcept;
ScreenPoint clientOrigin(void* window) noexcept;

}  // namespace plr::platform::system_tablet
