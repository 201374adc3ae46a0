// Pen-tablet packets: the pressure ramp without a tablet, and a fed tablet's
// packets through the readers (scaling, floor, origin, status, eraser end,
// the 256-packet batch).
#include <vector>

#include "engine_fixture.h"
#include "platform/tablet.h"

namespace plr::test {
namespace {

using Tablet = EngineTest;

// A fed tablet for the test's length: pressure axis 0..1000 (scale 0.1),
// the owner window's client area at (100, 50) on the screen.
struct FedTabletInUse {
    FedTabletInUse() { platform::useFedTablet({0, 1000}, {100, 50}); }
    ~FedTabletInUse() {
        PLR_CloseTablet();  // the fed context closes on the fed tablet
        platform::useSystemTablet();
    }
};

platform::TabletPacket packet(std::uint32_t status, std::int32_t x, std::int32_t y, std::uint32_t pressure) {
    platform::TabletPacket p;
    p.status = status;
    p.x = x;
    p.y = y;
    p.pressure = pressure;
    return p;
}

TEST_F(Tablet, WithoutContextPressureRampsAndReadersAnswerZero) {
    EXPECT_EQ(PLR_ReadTabletPressure(0), 100);
    PLR_ResetTabletPressure();
    std::vector<int> ramp;
    for (int i = 0; i < 6; ++i) ramp.push_back(PLR_ReadTabletPressure(0));
    // Without a context the last pressure is only answered, never raised.
    EXPECT_EQ(ramp, (std::vector<int>{10, 10, 10, 10, 10, 10}));
    EXPECT_EQ(PLR_ReadTabletPackets(), 0);
    EXPECT_EQ(PLR_ReadRawTabletPressure(0), 0);
    EXPECT_EQ(PLR_ReadTabletX(0), 0);
    EXPECT_EQ(PLR_PacketStatus(0), 0);
#ifndef _WIN32
    EXPECT_EQ(PLR_InitTablet(nullptr), 0);  // no tablet driver here
    EXPECT_EQ(PLR_ReadTabletPackets(), 0);
#endif
}

TEST_F(Tablet, FedPacketsReadScaledAndPlacedInTheWindow) {
    FedTabletInUse fed;
    ASSERT_EQ(PLR_InitTablet(reinterpret_cast<void*>(0x1234)), 1);
    const platform::TabletPacket packets[] = {packet(0x01, 300, 250, 505), packet(0x10, 120, 60, 0),
                                              packet(0x11, 100, 50, 1000), packet(0x00, 90, 40, 3)};
    platform::feedTabletPackets(packets, 4);
    ASSERT_EQ(PLR_ReadTabletPackets(), 4);

    // trunc(0.1 x pressure), floored at 1; the raw reading keeps the 0.
    EXPECT_EQ(PLR_ReadTabletPressure(0), 50);
    EXPECT_EQ(PLR_ReadRawTabletPressure(0), 50);
    EXPECT_EQ(PLR_ReadTabletPressure(1), 1);
    EXPECT_EQ(PLR_ReadRawTabletPressure(1), 0);
    EXPECT_EQ(PLR_ReadTabletPressure(2), 100);
    EXPECT_EQ(PLR_ReadTabletPressure(3), 1);  // 0.3 truncates to 0

    // Screen positions until the origin is taken, then client positions.
    EXPECT_EQ(PLR_ReadTabletX(0), 300);
    PLR_SetTabletOrigin();
    EXPECT_EQ(PLR_ReadTabletX(0), 200);
    EXPECT_EQ(PLR_ReadTabletY(0), 200);
    EXPECT_EQ(PLR_ReadTabletX(3), -10);
    EXPECT_EQ(PLR_ReadTabletY(3), -10);

    EXPECT_EQ(PLR_PacketStatus(2), 0x11);
    EXPECT_EQ(PLR_IsPacketInvert(0), 0);
    EXPECT_EQ(PLR_IsPacketInvert(1), 1);
    EXPECT_EQ(PLR_IsPacketInvert(2), 1);

    // Past the batch: nothing from the buffer; the pressure climbs from the last reading.
    EXPECT_EQ(PLR_IsPacketInvert(4), 0);
    EXPECT_EQ(PLR_PacketStatus(4), 0);
    EXPECT_EQ(PLR_ReadTabletX(-1), 0);
    EXPECT_EQ(PLR_ReadRawTabletPressure(4), 0);
    std::vector<int> ramp;
    for (int i = 0; i < 6; ++i) ramp.push_back(PLR_ReadTabletPressure(4));
    EXPECT_EQ(ramp, (std::vector<int>{1, 26, 51, 76, 100, 100}));
    PLR_ResetTabletPressure();
    ramp.clear();
    for (int i = 0; i < 6; ++i) ramp.push_back(PLR_ReadTabletPressure(99));
    EXPECT_EQ(ramp, (std::vector<int>{10, 35, 60, 85, 100, 100}));

    PLR_CloseTablet();
    EXPECT_EQ(PLR_ReadTabletX(0), 0);
    EXPECT_EQ(PLR_ReadTabletPackets(), 0);
}

TEST_F(Tablet, BatchesHoldAtMost256PacketsAndResetDiscardsTheQueue) {
    FedTabletInUse fed;
    ASSERT_EQ(PLR_InitTablet(nullptr), 1);
    std::vector<platform::TabletPacket> packets;
    for (int i = 0; i < 300; ++i) packets.push_back(packet(0, i, 0, 0));
    platform::feedTabletPackets(packets.data(), 300);
    EXPECT_EQ(PLR_ReadTabletPackets(), 256);
    EXPECT_EQ(PLR_ReadTabletX(255), 255);
    EXPECT_EQ(PLR_ReadTabletPackets(), 44);
    EXPECT_EQ(PLR_ReadTabletX(0), 256);
    EXPECT_EQ(PLR_ReadTabletX(44), 0);

    platform::feedTabletPackets(packets.data(), 10);
    PLR_ResetTabletPressure();
    EXPECT_EQ(PLR_ReadTabletPackets(), 0);
}

}  // namespace
}  // namespace plr::test
