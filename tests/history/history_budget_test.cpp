// The memory figure, the fixed and automatic budgets, reduce, and the
// colour read from the under-layer. Expected figures are worked out by hand
// from the accounting rules (KB = bytes / 1024, truncated, per block).
#include "history/undo_budget.h"
#include "history_fixture.h"

namespace plr::test {
namespace {

using HistoryBudget = HistoryTest;

platform::MemoryStatus gStatus;
bool gStatusKnown = true;
bool fixedStatus(platform::MemoryStatus& out) noexcept {
    out = gStatus;
    return gStatusKnown;
}

class HistoryAutoBudget : public HistoryTest {
protected:
    void SetUp() override {
        HistoryTest::SetUp();
        gStatus = {};
        gStatusKnown = true;
        setMemoryStatusSource(&fixedStatus);
    }
    void TearDown() override {
        setMemoryStatusSource(nullptr);
        HistoryTest::TearDown();
    }
    static void setFree(std::uint64_t physBytes, std::uint64_t pageFileBytes) {
        gStatus.availPhys = physBytes;
        gStatus.availPageFile = pageFileBytes;
    }
};

TEST_F(HistoryBudget, TheMemoryFigureFollowsEveryBlock) {
    makePage(64, 48);
    EXPECT_EQ(page().history.memoryKB, 30);  // 64 * 48 * 10 / 1024 = 30.0
    paint(0, 0, 31, 15, 1);                  // 512 pixels: 4 KB + 1 KB
    PLR_SaveUndoBuffer(1, 1);
    EXPECT_EQ(page().history.memoryKB, 35);
    paint(10, 5, 49, 44, 2);  // 1600 pixels: 12800 / 1024 = 12, 3200 / 1024 = 3
    PLR_SaveUndoBuffer(1, 1);
    EXPECT_EQ(page().history.memoryKB, 50);
    paint(0, 20, 19, 39, 3);  // 400 pixels, pixels only: 3200 / 1024 = 3
    PLR_SaveUndoBuffer(1, 0);
    EXPECT_EQ(page().history.memoryKB, 53);
    PLR_Undo();
    PLR_Undo();
    EXPECT_EQ(page().history.memoryKB, 53);  // undoing moves pixels, not memory
    paintMask(0, 0, 15, 15, 4);              // 256 mask values: 512 / 1024 = 0
    PLR_SaveUndoBuffer(0, 1);
    EXPECT_EQ(page().history.memoryKB, 35);  // the two undone entries were dropped
    EXPECT_EQ(PLR_GetUndoCount(), 2);
    EXPECT_EQ(PLR_GetCurrentUndoMemory(), 0);

    PLR_ReduceUndo(1);  // oldest first: the 5 KB entry goes, then 5 >= 1 stops it
    EXPECT_EQ(PLR_GetUndoCount(), 1);
    EXPECT_EQ(page().history.memoryKB, 30);
    EXPECT_TRUE(page().history.entries[0].occupied());
    PLR_ReduceUndo(0);  // nothing wanted, nothing released
    EXPECT_EQ(PLR_GetUndoCount(), 1);
    PLR_ReduceUndo(1000);
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    EXPECT_EQ(page().history.memoryKB, 30);
}

TEST_F(HistoryBudget, ReduceDropsUndoneEntriesFirst) {
    makePage(64, 48);
    paint(0, 0, 31, 31, 1);  // 1024 pixels: 10 KB
    PLR_SaveUndoBuffer(1, 1);
    paint(0, 0, 31, 31, 2);
    PLR_SaveUndoBuffer(1, 1);
    PLR_Undo();
    PLR_ReduceUndo(0);
    EXPECT_EQ(PLR_GetRedoCount(), 0);
    EXPECT_EQ(PLR_GetUndoCount(), 1);
    EXPECT_EQ(page().history.memoryKB, 40);
}

TEST_F(HistoryBudget, ReducingForAnAllocationAlwaysMakesProgress) {
    makePage(64, 48);
    for (int i = 0; i < 3; ++i) {
        paint(i, i, i + 5, i + 5, i);  // 36 pixels: 0 KB each
        PLR_SaveUndoBuffer(1, 1);
    }
    EXPECT_EQ(reduceUndo(page(), 0), 0);
    EXPECT_EQ(PLR_GetUndoCount(), 3);
    EXPECT_EQ(reduceUndoForAllocation(page(), 0), 3);  // none of them reaches 1 KB
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    EXPECT_EQ(reduceUndoForAllocation(page(), 0), 0);
}

TEST_F(HistoryBudget, CurrentMemoryIsReportedInWholeMegabytes) {
    PLR_CreateImage(nullptr, 1000, 1000, 8, 0);
    EXPECT_EQ(PLR_GetCurrentUndoMemory(), 9);  // 9765 KB
}

TEST_F(HistoryBudget, SavesStopReleasingAsSoonAsTheNewEntryFits) {
    makePage(64, 48);
    page().history.budgetKB = 55;  // room for the under-layer (30) and two 10 KB entries
    paint(0, 0, 31, 31, 1);
    PLR_SaveUndoBuffer(1, 1);
    paint(0, 0, 31, 31, 2);
    PLR_SaveUndoBuffer(1, 1);  // 40 + 10 < 55
    EXPECT_EQ(PLR_GetUndoCount(), 2);
    paint(1, 1, 32, 32, 3);
    PLR_SaveUndoBuffer(1, 1);  // 50 + 10 >= 55: the oldest goes, then 40 + 10 < 55
    EXPECT_EQ(PLR_GetUndoCount(), 2);
    EXPECT_EQ(page().history.entries[0].rect.left, 1);
    EXPECT_EQ(page().history.entries[1].rect.left, 0);
    EXPECT_EQ(page().history.memoryKB, 50);

    // Exactly at the budget is not below it.
    PLR_ClearUndo();
    page().history.budgetKB = 50;
    paint(0, 0, 31, 31, 4);
    PLR_SaveUndoBuffer(1, 1);  // 30 + 10 < 50
    paint(0, 0, 31, 31, 5);
    PLR_SaveUndoBuffer(1, 1);  // 40 + 10 == 50: the older entry goes
    EXPECT_EQ(PLR_GetUndoCount(), 1);
    EXPECT_EQ(page().history.memoryKB, 40);
}

TEST_F(HistoryBudget, ABudgetTooSmallForOneEntryKeepsOnlyTheNewest) {
    makePage(400, 300, 10, 1);  // under-layer alone 1171 KB > 1024 KB
    std::vector<Plane> states{layerCopy(2)};
    for (int i = 0; i < 3; ++i) {
        fillRandom(page().layers[2].pixels.data(), page().pixelCount() * 4, 50 + i);  // whole-page change
        PLR_SaveUndoBuffer(1, 1);
        states.push_back(layerCopy(2));
        EXPECT_EQ(PLR_GetUndoCount(), 1);
        EXPECT_EQ(page().history.memoryKB, 1171 + 937 + 234);
    }
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == states[2]);
    EXPECT_EQ(PLR_CanUndo(), 0);
    PLR_Redo();
    EXPECT_TRUE(layerCopy(2) == states[3]);
}

TEST_F(HistoryBudget, TheBudgetAtLoadKeepsAtMostOneEntry) {
    PLR_CreateImage(nullptr, 30, 20, 8, 0);
    ASSERT_EQ(PLR_CreateLayer(2, 30, 20), 1);
    PLR_SetLayer(2);
    PLR_SetUndoLevels(10);
    EXPECT_EQ(page().history.budgetKB, 0);
    for (int i = 0; i < 3; ++i) {
        paint(i, i, i + 5, i + 5, i);
        PLR_SaveUndoBuffer(1, 0);
        EXPECT_EQ(PLR_GetUndoCount(), 1);
    }
    EXPECT_EQ(page().history.entries[0].rect.left, 2);
}

TEST_F(HistoryBudget, AFixedBudgetIsMegabytesTimes1024) {
    makePage(20, 20);
    PLR_SetUndoMB(5);
    EXPECT_EQ(page().history.budgetKB, 5120);
    EXPECT_EQ(page().history.autoBudget, 0);
    EXPECT_EQ(PLR_GetTotalUndoMemory(), 5);
    PLR_SetUndoMB(3000000);  // 3,072,000,000 KB does not fit: capped, not wrapped
    EXPECT_EQ(page().history.budgetKB, 2147483647);
    PLR_SetUndoMB(-1);
    EXPECT_EQ(page().history.budgetKB, -1024);
}

TEST_F(HistoryAutoBudget, FollowsFreeMemoryWithItsFormula) {
    makePage(100, 100);  // p = 10000 / 1024 = 9; under-layer 97 KB
    setFree(1000ull << 20, 2000ull << 20);
    PLR_SetUndoMB(0);
    EXPECT_EQ(page().history.autoBudget, 1);
    // min(1024000, 2048000) * 0.85 + 97 = 870497; - 20 * 9 = 870317
    EXPECT_EQ(page().history.budgetKB, 870317);
    EXPECT_EQ(PLR_GetTotalUndoMemory(), 849);

    setFree(1000ull << 20, 1024000);  // the page file is the smaller: 1000 KB
    EXPECT_EQ(PLR_GetTotalUndoMemory(), 0);
    EXPECT_EQ(page().history.budgetKB, 767);  // 850 + 97 - 180
    setFree(1001 * 1024, 1ull << 40);         // 850.85 + 97 truncates to 947
    PLR_GetTotalUndoMemory();
    EXPECT_EQ(page().history.budgetKB, 767);
    setFree(1002 * 1024, 1ull << 40);  // 851.7 + 97 = 948.7
    PLR_GetTotalUndoMemory();
    EXPECT_EQ(page().history.budgetKB, 768);
    setFree(3 * 1024, 1ull << 40);  // 2.55 + 97 - 180 < 15 * 9: the floor
    PLR_GetTotalUndoMemory();
    EXPECT_EQ(page().history.budgetKB, 135);
    gStatusKnown = false;  // no figure at all: the floor too
    setFree(1ull << 40, 1ull << 40);
    PLR_GetTotalUndoMemory();
    EXPECT_EQ(page().history.budgetKB, 135);
}

TEST_F(HistoryAutoBudget, SavesAndClearingRecomputeItWithTheHistorysOwnMemory) {
    makePage(100, 100);
    setFree(1000 * 1024, 1ull << 40);
    PLR_SetUndoMB(0);
    EXPECT_EQ(page().history.budgetKB, 767);
    paint(0, 0, 31, 31, 1);
    PLR_SaveUndoBuffer(1, 1);  // recomputed before the entry is added: 767
    EXPECT_EQ(page().history.memoryKB, 107);
    setFree(2000 * 1024, 1ull << 40);
    paint(0, 0, 31, 31, 2);
    PLR_SaveUndoBuffer(1, 1);  // 1700 + 107 - 180
    EXPECT_EQ(page().history.budgetKB, 1627);
    setFree(1000 * 1024, 1ull << 40);
    PLR_ClearUndo();  // 850 + 97 - 180
    EXPECT_EQ(page().history.budgetKB, 767);
    PLR_SetUndoMB(2);  // fixed again: the figure no longer matters
    setFree(5000 * 1024, 1ull << 40);
    EXPECT_EQ(PLR_GetTotalUndoMemory(), 2);
}

TEST_F(HistoryBudget, ColorAtHistoryReadsTheUnderLayerOnlyWhileUndoIsPossible) {
    makePage(10, 10);
    std::uint16_t* px = page().layers[2].pixels.data() + (4 * 10 + 3) * 4;
    px[0] = 0x1234;
    px[1] = 0xABCD;
    px[2] = 0x00FF;
    px[3] = 0xFF00;
    EXPECT_EQ(PLR_GetColorAtHistory(3, 4), 0u);  // nothing to undo yet
    widenStroke(3, 4, 5, 6);
    PLR_SaveUndoBuffer(1, 0);
    EXPECT_EQ(PLR_GetColorAtHistory(3, 4), 0xFF12AB00u);  // alpha, red, green, blue high bytes
    EXPECT_EQ(PLR_GetColorAtHistory(10, 4), 0u);
    EXPECT_EQ(PLR_GetColorAtHistory(3, -1), 0u);
    PLR_Undo();
    EXPECT_EQ(PLR_GetColorAtHistory(3, 4), 0u);
}

TEST_F(HistoryBudget, CanUndoStopsAtTheLevels) {
    makePage(10, 10, 1);
    paint(1, 1, 4, 4, 1);
    PLR_SaveUndoBuffer(1, 0);
    EXPECT_EQ(PLR_CanUndo(), 1);
    PLR_Undo();
    EXPECT_EQ(PLR_CanUndo(), 0);  // redoCount 1 == undoLevels 1
    EXPECT_EQ(PLR_CanRedo(), 1);
    EXPECT_EQ(PLR_GetUndoCount(), 1);
}

}  // namespace
}  // namespace plr::test
