// The invariant check the reliability tests lean on: silent on a page in
// every ordinary state, and naming each rule when that rule is broken.
#include "engine/engine_invariants.h"

#include "engine_fixture.h"
#include "history/history.h"

namespace plr::test {
namespace {

using EngineInvariants = EngineTest;

TEST_F(EngineInvariants, HoldThroughOrdinaryUseAndNameEachBrokenRule) {
    EXPECT_EQ(engineInvariantViolation(engine()), "");
    PLR_CreateImage(nullptr, 40, 30, 8, 0);
    for (int i = 1; i <= 3; ++i) PLR_CreateLayer(i, 40, 30);
    PLR_SetLayer(2);
    PLR_SetUndoLevels(5);
    PLR_SetSize(6);
    PLR_DrawDabGrit(10, 10, 0x8000, 0, 0);
    PLR_SaveUndoBuffer(1, 1);
    PLR_IPLAllocSrcBuffer32();
    EXPECT_EQ(engineInvariantViolation(engine()), "");
    PLR_Undo();
    EXPECT_EQ(engineInvariantViolation(engine()), "");

    Page& p = page();
    p.history.memoryKB += 1;
    EXPECT_NE(engineInvariantViolation(engine()).find("history memory"), std::string::npos);
    p.history.memoryKB -= 1;
    p.layers[3].width = 41;
    EXPECT_NE(engineInvariantViolation(engine()).find("layer 3"), std::string::npos);
    p.layers[3].width = 40;
    p.currentLayer = &p.layers[1];
    EXPECT_NE(engineInvariantViolation(engine()).find("current layer"), std::string::npos);
    p.currentLayer = &p.layers[2];
    p.rowValues = 4;
    EXPECT_NE(engineInvariantViolation(engine()).find("row length"), std::string::npos);
    p.rowValues = 160;
    EXPECT_EQ(engineInvariantViolation(engine()), "");
    PLR_DeleteImage();
    EXPECT_EQ(engineInvariantViolation(engine()), "");
}

// The history of a page that is deleted, or replaced by a page of another
// size that fails half-way, holds nothing of the old page, and its memory
// figure counts only what is held.
TEST_F(EngineInvariants, ReplacedOrDeletedPagesLeaveNoHistoryBehind) {
    const auto pageWithSnapshots = [] {
        resetEngine();
        PLR_CreateImage(nullptr, 400, 300, 8, 0);
        PLR_CreateLayer(1, 400, 300);
        PLR_SetLayer(1);
        PLR_SetUndoLevels(5);
        PLR_SetSize(6);
        for (int i = 0; i < 3; ++i) {
            PLR_DrawDabGrit(300 + i * 20, 250, 0x8000, 0, 0);
            PLR_SaveUndoBuffer(1, 1);
        }
    };
    pageWithSnapshots();
    PLR_DeleteImage();
    PLR_SetUndoLevels(3);  // clears the history of a page without pixels
    EXPECT_EQ(PLR_GetCurrentUndoMemory(), 0);
    EXPECT_EQ(engineInvariantViolation(engine()), "");

    const int made = forEachAllocationFailure(pageWithSnapshots, [] { PLR_CreateImage(nullptr, 40, 30, 8, 0); },
                                              [](int n) {
                                                  EXPECT_EQ(engineInvariantViolation(engine()), "") << "allocation " << n;
                                              });
    EXPECT_GT(made, 5);
}

}  // namespace
}  // namespace plr::test
