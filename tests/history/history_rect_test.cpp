// Which rectangle a save records, and what a save without a layer keeps.
#include "history_fixture.h"

namespace plr::test {
namespace {

using HistoryRect = HistoryTest;

void expectEntryRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    const HistoryEntry& e = page().history.entries[0];
    EXPECT_EQ(e.rect.left, l);
    EXPECT_EQ(e.rect.top, t);
    EXPECT_EQ(e.rect.lastColumn(), r);
    EXPECT_EQ(e.rect.lastRow(), b);
}

TEST_F(HistoryRect, AnEmptyStrokeRectangleRecordsTheWholePage) {
    makePage(33, 17);
    const Plane before = layerCopy(2);
    // A filter-like change: every pixel, no dab widened the rectangle.
    fillRandom(page().layers[2].pixels.data(), page().pixelCount() * 4, 77);
    PLR_SaveUndoBuffer(1, 1);
    expectEntryRect(0, 0, 32, 16);
    EXPECT_EQ(page().history.entries[0].pixels.size(), 33u * 17u * 4u);
    EXPECT_EQ(page().history.entries[0].maskValues.size(), 33u * 17u);
    expectUnderAgrees();
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == before);
    expectUnderAgrees();
}

TEST_F(HistoryRect, OneColumnOrOneRowStrokesRecordTheWholePage) {
    makePage(33, 17);
    const Plane before = layerCopy(2);
    paint(7, 2, 7, 12, 5);  // right == left
    PLR_SaveUndoBuffer(1, 0);
    expectEntryRect(0, 0, 32, 16);
    paint(3, 9, 20, 9, 6);  // bottom == top
    PLR_SaveUndoBuffer(1, 0);
    expectEntryRect(0, 0, 32, 16);
    PLR_Undo();
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == before);
}

TEST_F(HistoryRect, TheRectangleIsClampedToThePageAndThenEmptied) {
    makePage(33, 17);
    const Plane before = layerCopy(2);
    paint(30, 14, 32, 16, 5);
    widenStroke(30, 14, 60, 40);  // a dab hanging over the edge
    PLR_SaveUndoBuffer(1, 0);
    expectEntryRect(30, 14, 32, 16);
    EXPECT_EQ(page().history.entries[0].pixels.size(), 3u * 3u * 4u);
    const Rect& s = page().history.stroke;
    EXPECT_EQ(s.left, 32);
    EXPECT_EQ(s.top, 16);
    EXPECT_EQ(s.right, 0);
    EXPECT_EQ(s.bottom, 0);

    paint(0, 0, 2, 1, 6);
    widenStroke(-9, -4, 2, 1);
    PLR_SaveUndoBuffer(1, 0);
    expectEntryRect(0, 0, 2, 1);
    PLR_Undo();
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == before);
}

TEST_F(HistoryRect, TwoByTwoIsKeptAsARectangle) {
    makePage(33, 17);
    paint(4, 5, 5, 6, 1);
    PLR_SaveUndoBuffer(1, 1);
    expectEntryRect(4, 5, 5, 6);
    EXPECT_EQ(page().history.entries[0].layerIndex, 2);
    EXPECT_EQ(page().history.entries[0].maskValues.size(), 4u);
}

TEST_F(HistoryRect, WithoutACurrentLayerOnlyTheMaskIsRecorded) {
    PLR_CreateImage(nullptr, 20, 10, 8, 0);
    PLR_SetUndoMB(8);
    PLR_SetUndoLevels(5);
    PLR_SaveUndoBuffer(1, 0);  // no layer selected: nothing to keep
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    const Plane mask0 = maskCopy();
    paintMask(2, 2, 9, 7, 3);
    PLR_SaveUndoBuffer(1, 1);
    EXPECT_EQ(PLR_GetUndoCount(), 1);
    EXPECT_TRUE(page().history.entries[0].pixels.empty());
    PLR_Undo();
    EXPECT_TRUE(maskCopy() == mask0);
}

TEST_F(HistoryRect, ASaveOfNothingKeepsOlderEntriesUndoable) {
    makePage(20, 10);
    const Plane before = layerCopy(2);
    paint(1, 1, 5, 5, 1);
    PLR_SaveUndoBuffer(1, 0);
    PLR_SaveUndoBuffer(0, 0);
    EXPECT_EQ(PLR_GetUndoCount(), 1);
    EXPECT_EQ(PLR_CanUndo(), 1);
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == before);
}

TEST_F(HistoryRect, OnlyTheLowByteOfTheSwitchesCounts) {
    makePage(20, 10);
    paint(1, 1, 5, 5, 1);
    PLR_SaveUndoBuffer(0x100, 0x200);  // both switches off
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    PLR_SaveUndoBuffer(0x101, 0);
    EXPECT_EQ(PLR_GetUndoCount(), 1);
}

TEST_F(HistoryRect, AZeroSizedPageRecordsNothing) {
    PLR_CreateImage(nullptr, 0, 10, 8, 0);
    PLR_SetUndoLevels(5);
    PLR_SaveUndoBuffer(1, 1);
    PLR_Undo();
    PLR_Redo();
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    EXPECT_EQ(PLR_GetColorAtHistory(0, 0), 0u);
}

}  // namespace
}  // namespace plr::test

namespace plr::test {
namespace {

using HistoryLifecycle = HistoryTest;

TEST_F(HistoryLifecycle, ClearEmptiesEverythingAndCatchesTheUnderLayerUp) {
    makePage(30, 20);
    paint(1, 1, 9, 9, 1);
    PLR_SaveUndoBuffer(1, 1);
    paint(2, 2, 12, 12, 2);
    PLR_SaveUndoBuffer(1, 1);
    PLR_Undo();
    paint(20, 10, 25, 15, 3);  // not recorded
    PLR_ClearUndo();
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    EXPECT_EQ(PLR_GetRedoCount(), 0);
    EXPECT_EQ(page().history.memoryKB, 30 * 20 * 10 / 1024);
    EXPECT_EQ(page().history.stroke.left, 29);
    EXPECT_EQ(page().history.undoLevels, 10);  // levels survive a clear
    expectUnderAgrees();
}

TEST_F(HistoryLifecycle, ANewPageSizeReleasesTheSnapshotsAndTheHistoryWorksAfter) {
    makePage(30, 20);
    for (int i = 0; i < 3; ++i) {
        paint(i, i, i + 8, i + 8, i);
        PLR_SaveUndoBuffer(1, 1);
    }
    PLR_NewSize(nullptr, 50, 40, 8, 0);
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    EXPECT_EQ(page().history.memoryKB, 50 * 40 * 10 / 1024);
    ASSERT_EQ(PLR_CreateLayer(2, 50, 40), 1);
    PLR_SetLayer(2);
    const Plane before = layerCopy(2);
    paint(40, 30, 49, 39, 9);
    PLR_SaveUndoBuffer(1, 0);
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == before);
    PLR_DeleteImage();
    EXPECT_EQ(PLR_GetUndoCount(), 0);
}

}  // namespace
}  // namespace plr::test
