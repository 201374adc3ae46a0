// Sequences that break histories: round trips, undone entries, levels,
// other slots, swapped slots, pauses and degenerate rectangles.
#include <utility>

#include "history_fixture.h"

namespace plr::test {
namespace {

using HistoryRoundTrip = HistoryTest;

TEST_F(HistoryRoundTrip, PaintSaveUndoRedoRestoresEveryByteOfLayerAndMask) {
    makePage(37, 23);
    const Plane layer0 = layerCopy(2), mask0 = maskCopy();
    paint(3, 4, 20, 11, 10);
    paintMask(5, 2, 9, 19, 11);
    PLR_SaveUndoBuffer(1, 1);
    const Plane layer1 = layerCopy(2), mask1 = maskCopy();
    expectUnderAgrees();
    paint(0, 0, 36, 22, 12);  // edge to edge: a whole-page snapshot
    paintMask(30, 15, 36, 22, 13);
    PLR_SaveUndoBuffer(1, 1);
    const Plane layer2 = layerCopy(2), mask2 = maskCopy();
    EXPECT_EQ(PLR_GetUndoCount(), 2);
    EXPECT_EQ(PLR_CanRedo(), 0);

    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == layer1);
    EXPECT_TRUE(maskCopy() == mask1);
    expectUnderAgrees();
    EXPECT_EQ(PLR_CanRedo(), 1);
    EXPECT_EQ(PLR_GetRedoCount(), 1);
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == layer0);
    EXPECT_TRUE(maskCopy() == mask0);
    expectUnderAgrees();
    EXPECT_EQ(PLR_CanUndo(), 0);
    PLR_Undo();  // nothing left: no change
    EXPECT_TRUE(layerCopy(2) == layer0);
    EXPECT_EQ(PLR_GetRedoCount(), 2);

    PLR_Redo();
    EXPECT_TRUE(layerCopy(2) == layer1);
    EXPECT_TRUE(maskCopy() == mask1);
    PLR_Redo();
    EXPECT_TRUE(layerCopy(2) == layer2);
    EXPECT_TRUE(maskCopy() == mask2);
    expectUnderAgrees();
    EXPECT_EQ(PLR_CanRedo(), 0);
    PLR_Redo();  // nothing undone: no change
    EXPECT_TRUE(layerCopy(2) == layer2);
    // The other layer never moved.
    Plane other(page().pixelCount() * 4);
    fillRandom(other.data(), other.size(), 2);
    EXPECT_TRUE(layerCopy(3) == other);
}

TEST_F(HistoryRoundTrip, RepeatedUndoRedoCyclesKeepTheSnapshots) {
    makePage(40, 30);
    const Plane before = layerCopy(2);
    paint(10, 10, 25, 20, 3);
    PLR_SaveUndoBuffer(1, 0);
    const Plane after = layerCopy(2);
    for (int i = 0; i < 5; ++i) {
        PLR_Undo();
        ASSERT_TRUE(layerCopy(2) == before);
        PLR_Redo();
        ASSERT_TRUE(layerCopy(2) == after);
    }
    // Only pixels were saved: the entry has no mask values.
    EXPECT_TRUE(page().history.entries[0].maskValues.empty());
}

TEST_F(HistoryRoundTrip, UndoTwiceThenSaveDiscardsTheUndoneEntries) {
    makePage(32, 32);
    const Plane s0 = layerCopy(2);
    paint(1, 1, 5, 5, 1);
    PLR_SaveUndoBuffer(1, 0);
    const Plane s1 = layerCopy(2);
    paint(6, 6, 12, 12, 2);
    PLR_SaveUndoBuffer(1, 0);
    paint(20, 2, 30, 9, 3);
    PLR_SaveUndoBuffer(1, 0);
    PLR_Undo();
    PLR_Undo();
    ASSERT_TRUE(layerCopy(2) == s1);
    EXPECT_EQ(PLR_GetRedoCount(), 2);
    EXPECT_EQ(PLR_GetUndoCount(), 3);  // undone entries still count until the next save

    paint(2, 20, 8, 28, 4);
    PLR_SaveUndoBuffer(1, 0);
    const Plane s4 = layerCopy(2);
    EXPECT_EQ(PLR_GetRedoCount(), 0);
    EXPECT_EQ(PLR_CanRedo(), 0);
    EXPECT_EQ(PLR_GetUndoCount(), 2);
    EXPECT_EQ(page().history.entries[0].rect.left, 2);
    EXPECT_EQ(page().history.entries[1].rect.left, 1);  // the first stroke moved down to place 1
    EXPECT_FALSE(page().history.entries[2].occupied());
    EXPECT_EQ(page().history.memoryKB, expectedMemoryKB());

    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == s1);
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == s0);
    EXPECT_EQ(PLR_CanUndo(), 0);
    PLR_Redo();
    PLR_Redo();
    EXPECT_TRUE(layerCopy(2) == s4);
}

TEST_F(HistoryRoundTrip, LevelsAreCappedAndAFourthSaveReleasesTheOldest) {
    makePage(24, 24);
    EXPECT_EQ(PLR_SetUndoLevels(1000), 500);
    EXPECT_EQ(PLR_SetUndoLevels(-5), 0);
    EXPECT_EQ(PLR_SetUndoLevels(3), 3);
    std::vector<Plane> states{layerCopy(2)};
    for (int i = 0; i < 4; ++i) {
        paint(i * 5, 2, i * 5 + 3, 9, 100 + i);
        PLR_SaveUndoBuffer(1, 1);
        states.push_back(layerCopy(2));
        EXPECT_EQ(PLR_GetUndoCount(), std::min(i + 1, 3));
    }
    EXPECT_EQ(page().history.entries[2].rect.left, 5);  // the second stroke is now the oldest
    EXPECT_FALSE(page().history.entries[3].occupied());
    for (int i = 3; i >= 1; --i) {
        PLR_Undo();
        EXPECT_TRUE(layerCopy(2) == states[i]) << "after undoing save " << i + 1;
    }
    EXPECT_EQ(PLR_CanUndo(), 0);
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == states[1]);  // the first change can no longer be undone
}

TEST_F(HistoryRoundTrip, ZeroLevelsOnlyMoveTheUnderLayerOn) {
    makePage(20, 10, 0);
    paint(2, 2, 8, 8, 5);
    PLR_SaveUndoBuffer(1, 1);
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    EXPECT_EQ(PLR_CanUndo(), 0);
    expectUnderAgrees();
    EXPECT_EQ(page().history.stroke.left, 19);  // emptied
}

TEST_F(HistoryRoundTrip, UndoOfAnotherSlotsEntrySelectsThatSlotFirst) {
    makePage(30, 20);
    const Plane two0 = layerCopy(2);
    paint(4, 4, 14, 9, 7);
    PLR_SaveUndoBuffer(1, 0);
    const Plane two1 = layerCopy(2);
    PLR_SetLayer(3);
    const Plane three0 = layerCopy(3);
    paint(10, 5, 25, 15, 8);
    PLR_SaveUndoBuffer(1, 0);
    const Plane three1 = layerCopy(3);
    EXPECT_EQ(page().history.entries[0].layerIndex, 3);
    EXPECT_EQ(page().history.entries[1].layerIndex, 2);

    PLR_Undo();
    EXPECT_EQ(PLR_GetLayerNum(), 3);
    EXPECT_TRUE(layerCopy(3) == three0);
    PLR_Undo();
    EXPECT_EQ(PLR_GetLayerNum(), 2);  // reselected
    EXPECT_EQ(page().currentLayer, &page().layers[2]);
    EXPECT_TRUE(layerCopy(2) == two0);
    EXPECT_TRUE(layerCopy(3) == three0);
    expectUnderAgrees();
    PLR_Redo();
    EXPECT_TRUE(layerCopy(2) == two1);
    PLR_Redo();
    EXPECT_EQ(PLR_GetLayerNum(), 3);
    EXPECT_TRUE(layerCopy(3) == three1);
    EXPECT_TRUE(layerCopy(2) == two1);
    expectUnderAgrees();
}

TEST_F(HistoryRoundTrip, SwappedSlotsRestoreIntoTheSlotThatWasCurrent) {
    makePage(30, 20);
    const Plane two0 = layerCopy(2);
    paint(5, 5, 15, 12, 9);
    PLR_SaveUndoBuffer(1, 0);
    const Plane painted = layerCopy(2), other = layerCopy(3);
    std::swap(page().layers[2], page().layers[3]);  // the history names slots, not layers

    PLR_Undo();
    EXPECT_EQ(PLR_GetLayerNum(), 2);
    EXPECT_TRUE(layerCopy(3) == painted);  // the painted layer now lives in slot 3, untouched
    // Slot 2 holds the other layer with the snapshot put back into the rectangle.
    Plane expected = other;
    for (int y = 5; y <= 12; ++y)
        for (int x = 5; x <= 15; ++x)
            for (int c = 0; c < 4; ++c) expected[(y * 30 + x) * 4 + c] = two0[(y * 30 + x) * 4 + c];
    EXPECT_TRUE(layerCopy(2) == expected);
    PLR_Redo();
    for (int y = 5; y <= 12; ++y)
        for (int x = 5; x <= 15; ++x)
            for (int c = 0; c < 4; ++c) expected[(y * 30 + x) * 4 + c] = painted[(y * 30 + x) * 4 + c];
    EXPECT_TRUE(layerCopy(2) == expected);
}

TEST_F(HistoryRoundTrip, ASlotEmptiedOrResizedAfterTheSaveTakesNothing) {
    makePage(30, 20);
    paint(5, 5, 15, 12, 9);
    paintMask(5, 5, 15, 12, 10);
    PLR_SaveUndoBuffer(1, 1);
    const Plane mask1 = maskCopy();
    std::swap(page().layers[2], page().layers[5]);  // slot 2 is now empty
    PLR_Undo();
    EXPECT_FALSE(page().layers[2].hasPixels());
    EXPECT_FALSE(maskCopy() == mask1);  // the mask is still restored
    PLR_Redo();
    EXPECT_TRUE(maskCopy() == mask1);

    std::swap(page().layers[2], page().layers[5]);
    ASSERT_EQ(PLR_CreateLayer(2, 10, 10), 1);  // another size than the page
    PLR_Undo();
    PLR_Redo();
    EXPECT_EQ(page().layers[2].pixels.size(), 400u);
}

TEST_F(HistoryRoundTrip, PauseStopsSaveUndoRedoAndTheBackBufferUntilClear) {
    makePage(20, 20);
    paint(1, 1, 6, 6, 1);
    PLR_SaveUndoBuffer(1, 1);
    const Plane s1 = layerCopy(2);
    PLR_PauseUndo();
    paint(8, 8, 15, 15, 2);
    const Plane s2 = layerCopy(2), under = underCopy();
    PLR_SaveUndoBuffer(1, 1);
    EXPECT_EQ(PLR_GetUndoCount(), 1);
    EXPECT_TRUE(underCopy() == under);
    EXPECT_EQ(page().history.stroke.right, 15);  // not emptied either
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == s2);
    EXPECT_EQ(PLR_GetRedoCount(), 0);
    PLR_SaveUndoBackBuffer(2);
    EXPECT_TRUE(underCopy() == under);
    PLR_ResumeUndo();
    PLR_SaveUndoBuffer(1, 1);  // now the batched change is recorded
    EXPECT_EQ(PLR_GetUndoCount(), 2);
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == s1);
    PLR_Redo();
    EXPECT_TRUE(layerCopy(2) == s2);

    PLR_PauseUndo();
    PLR_Undo();
    EXPECT_TRUE(layerCopy(2) == s2);
    PLR_ClearUndo();  // ends the pause and empties the history
    EXPECT_EQ(page().history.paused, 0);
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    PLR_Redo();
    EXPECT_TRUE(layerCopy(2) == s2);
}

}  // namespace
}  // namespace plr::test
