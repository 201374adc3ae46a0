// Pen-tablet packets and the stroke-smoothing spline.
#include "api/export.h"
#include "brush/spline.h"
#include "brush/tablet.h"

using namespace plr;

extern "C" {

int32_t PLR_InitTablet(void* ownerWindow) noexcept { return initTablet(engine().tablet, ownerWindow) ? 1 : 0; }
void PLR_CloseTablet(void) noexcept { closeTablet(engine().tablet); }
int32_t PLR_ReadTabletPackets(void) noexcept { return readTabletPackets(engine().tablet); }
int32_t PLR_ReadTabletPressure(int32_t packet) noexcept { return tabletPressure(engine().tablet, packet); }
int32_t PLR_ReadRawTabletPressure(int32_t packet) noexcept { return rawTabletPressure(engine().tablet, packet); }
int32_t PLR_ReadTabletX(int32_t packet) noexcept { return tabletX(engine().tablet, packet); }
int32_t PLR_ReadTabletY(int32_t packet) noexcept { return tabletY(engine().tablet, packet); }
void PLR_ResetTabletPressure(void) noexcept { resetTabletPressure(engine().tablet); }
void PLR_SetTabletOrigin(void) noexcept { setTabletOrigin(engine().tablet); }
int32_t PLR_PacketStatus(int32_t packet) noexcept {
    return static_cast<int32_t>(packetStatus(engine().tablet, packet));
}
int32_t PLR_IsPacketInvert(int32_t packet) noexcept { return isPacketInvert(engine().tablet, packet) ? 1 : 0; }

void PLR_CalcSpline3(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t) noexcept {
    const auto u = [](int32_t v) { return static_cast<std::uint32_t>(v); };
    calcSpline3(engine().spline, u(x1), u(y1), u(x2), u(y2), u(x3), u(y3));
}
int32_t PLR_GetSplinePointCount(void) noexcept { return engine().spline.count; }
int32_t PLR_GetSplinePointX(int32_t point) noexcept { return splinePointX(engine().spline, point); }
int32_t PLR_GetSplinePointY(int32_t point) noexcept { return splinePointY(engine().spline, point); }

}  // extern "C"
