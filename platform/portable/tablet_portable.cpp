// No tablet driver outside Windows: no pressure axis, no context; windows
// are not placed on a screen, so their client origin is (0, 0).
#include "platform/tablet_system.h"

namespace plr::platform::system_tablet {

bool pressureAxis(TabletAxis&) noexcept { return false; }
TabletContext openContext(void*) noexcept { return nullptr; }
bool setQueueSize(TabletContext, std::int32_t) noexcept { return false; }
std::int32_t takePackets(TabletContext, std::int32_t, TabletPacket*) noexcept { return 0; }
void closeContext(TabletContext) noexcept {}
ScreenPoint clientOrigin(void*) noexcept { return {}; }

}  // namespace plr::platform::system_tablet
