// Allocation failure at every allocation of a save, an undo and the layer
// creation that shrinks the history: the layer allocation is retried after
// the history gives up its snapshots, nothing leaks, and the history keeps
// working afterwards.
#include <cstring>

#include "core/last_error.h"
#include "history_fixture.h"

namespace plr::test {
namespace {

class HistoryFailure : public HistoryTest {
protected:
    static std::int64_t entryBlocks() {
        std::int64_t n = 0;
        for (const HistoryEntry& e : page().history.entries) n += (e.pixels ? 1 : 0) + (e.maskValues ? 1 : 0);
        return n;
    }
    // Blocks of the page other than the history's entries; a save or undo
    // never changes their number.
    void notePageBlocks() { pageBlocks_ = mem::stats().liveBlocks - entryBlocks(); }
    void expectNoLeakAndConsistent() {
        EXPECT_EQ(mem::stats().liveBlocks, pageBlocks_ + entryBlocks());
        EXPECT_EQ(page().history.memoryKB, expectedMemoryKB());
    }
    // A later change is still recorded and undone exactly.
    void expectStillWorks() {
        const Plane before = layerCopy(page().currentLayerIndex), maskBefore = maskCopy();
        paint(2, 3, 9, 8, 999);
        paintMask(4, 4, 6, 6, 998);
        PLR_SaveUndoBuffer(1, 1);
        EXPECT_EQ(page().history.entries[0].rect.left, 2);
        PLR_Undo();
        EXPECT_TRUE(layerCopy(page().currentLayerIndex) == before);
        EXPECT_TRUE(maskCopy() == maskBefore);
        expectUnderAgrees();
    }

    // Three small entries (8 x 8), then a change of `whole` page or of a
    // 20 x 12 rectangle: none of the old blocks fits the new entry.
    void prepareSave(bool whole) {
        resetEngine();
        makePage(40, 30);
        for (int i = 0; i < 3; ++i) {
            paint(i * 9, 1, i * 9 + 7, 8, 10 + i);
            PLR_SaveUndoBuffer(1, 1);
            states_[i] = layerCopy(2);
        }
        if (whole) {
            fillRandom(page().layers[2].pixels.data(), page().pixelCount() * 4, 20);
            fillRandom(page().mask.plane.data(), page().pixelCount(), 21);
        } else {
            paint(10, 12, 29, 23, 20);
            paintMask(10, 12, 29, 23, 21);
        }
        changed_ = layerCopy(2);
        changedMask_ = maskCopy();
        notePageBlocks();
    }

    std::int64_t pageBlocks_ = 0;
    Plane states_[3], changed_, changedMask_;
};

TEST_F(HistoryFailure, AFailedBlockCostsTheOldestEntryAndTheSaveStillRecords) {
    for (const bool whole : {false, true}) {
        SCOPED_TRACE(whole ? "whole page" : "rectangle");
        const int allocations = forEachAllocationFailure(
            [&] { prepareSave(whole); }, [] { PLR_SaveUndoBuffer(1, 1); },
            [&](int n) {
                SCOPED_TRACE(n);
                expectNoLeakAndConsistent();
                EXPECT_EQ(PLR_GetUndoCount(), 3);  // the oldest was sacrificed
                EXPECT_EQ(page().history.entries[0].rect.lastColumn(), whole ? 39 : 29);
                EXPECT_EQ(page().history.entries[2].rect.left, 9);  // the second save is now the oldest
                EXPECT_TRUE(page().history.entries[0].pixels && page().history.entries[0].maskValues);
                expectUnderAgrees();
                PLR_Undo();
                EXPECT_TRUE(layerCopy(2) == states_[2]);
                PLR_Undo();
                EXPECT_TRUE(layerCopy(2) == states_[1]);
                PLR_Redo();
                PLR_Redo();
                EXPECT_TRUE(layerCopy(2) == changed_);
                EXPECT_TRUE(maskCopy() == changedMask_);
                expectStillWorks();
                expectNoLeakAndConsistent();
            });
        EXPECT_EQ(allocations, 2);  // pixels, mask values
    }
}

TEST_F(HistoryFailure, WhenNothingCanBeHadTheChangeIsNotRecordedButTheUnderLayerMovesOn) {
    for (const bool whole : {false, true}) {
        SCOPED_TRACE(whole ? "whole page" : "rectangle");
        for (int first = 1; first <= 2; ++first) {
            prepareSave(whole);
            setLastError("");
            mem::injectFailure(static_cast<std::uint64_t>(first), 1000);
            PLR_SaveUndoBuffer(1, 1);
            mem::injectFailure(0);
            EXPECT_STREQ(PLR_GetLastError(), "");  // a fallback, not a failure
            EXPECT_EQ(PLR_GetUndoCount(), 0);      // every entry was given up
            EXPECT_EQ(page().history.memoryKB, 40 * 30 * 10 / 1024);
            expectNoLeakAndConsistent();
            expectUnderAgrees();
            EXPECT_TRUE(layerCopy(2) == changed_);
            EXPECT_EQ(page().history.stroke.right, 0);
            expectStillWorks();
            expectNoLeakAndConsistent();
        }
    }
}

TEST_F(HistoryFailure, WithAnEmptyHistoryOneFailedBlockLosesTheWholeEntry) {
    for (int first = 1; first <= 2; ++first) {
        resetEngine();
        makePage(40, 30);
        // A whole-page change: 9 KB of pixels and 2 KB of mask values to account for.
        fillRandom(page().layers[2].pixels.data(), page().pixelCount() * 4, 20);
        const Plane changed = layerCopy(2);
        notePageBlocks();
        mem::injectFailure(static_cast<std::uint64_t>(first), 1);
        PLR_SaveUndoBuffer(1, 1);  // the other block was obtained and is given back
        mem::injectFailure(0);
        EXPECT_EQ(PLR_GetUndoCount(), 0);
        expectNoLeakAndConsistent();
        expectUnderAgrees();
        EXPECT_TRUE(layerCopy(2) == changed);
        expectStillWorks();
    }
}

TEST_F(HistoryFailure, SteadyPaintingReusesThePushedOutBlocks) {
    resetEngine();
    makePage(40, 30, 3);
    for (int i = 0; i < 3; ++i) {
        paint(i, i, i + 9, i + 9, i);
        PLR_SaveUndoBuffer(1, 1);
    }
    notePageBlocks();
    const int allocations = forEachAllocationFailure([] {},
                                                     [] {
                                                         paint(20, 5, 29, 14, 7);
                                                         PLR_SaveUndoBuffer(1, 1);
                                                     },
                                                     [](int) {});
    EXPECT_EQ(allocations, 0);  // the oldest entry's blocks had the new entry's size
    EXPECT_EQ(PLR_GetUndoCount(), 3);
    expectNoLeakAndConsistent();
}

TEST_F(HistoryFailure, UndoAndRedoAllocateNothing) {
    for (const bool whole : {false, true}) {
        prepareSave(whole);
        PLR_SaveUndoBuffer(1, 1);
        notePageBlocks();
        EXPECT_EQ(forEachAllocationFailure([] {}, [] { PLR_Undo(); }, [](int) {}), 0);
        EXPECT_TRUE(layerCopy(2) == states_[2]);
        EXPECT_EQ(forEachAllocationFailure([] {}, [] { PLR_Redo(); }, [](int) {}), 0);
        EXPECT_TRUE(layerCopy(2) == changed_);
        expectNoLeakAndConsistent();
    }
}

TEST_F(HistoryFailure, AnUndoWhoseReselectionCannotRebuildTheTextureStillRestores) {
    Plane before;
    const int allocations = forEachAllocationFailure(
        [&] {
            resetEngine();
            makePage(30, 20);
            before = layerCopy(2);
            paint(3, 3, 12, 9, 1);
            PLR_SaveUndoBuffer(1, 0);
            PLR_SetLayer(3);
            // The current slot is a visible Texturize3 layer: leaving it for
            // the entry's slot rebuilds the paper texture from it.
            page().layers[3].visible = 1;
            page().layers[3].mode = 19;
            notePageBlocks();
        },
        [] { PLR_Undo(); },
        [&](int) {
            EXPECT_STREQ(PLR_GetLastError(), "CreateTexture Excpt");
            EXPECT_EQ(PLR_GetLayerNum(), 2);
            EXPECT_TRUE(layerCopy(2) == before);
            expectNoLeakAndConsistent();
            expectUnderAgrees();
            PLR_Redo();
            expectStillWorks();
        });
    EXPECT_EQ(allocations, 1);
    EXPECT_TRUE(page().texture);  // the run without a failure built it
}

class HistoryLayerRetry : public HistoryFailure {
protected:
    // Three whole-page entries of 64 x 64: 32 KB of pixels and 8 KB of mask each.
    void prepareFull() {
        resetEngine();
        makePage(64, 64);
        for (int i = 0; i < 3; ++i) {
            fillRandom(page().layers[2].pixels.data(), page().pixelCount() * 4, 30 + i);
            PLR_SaveUndoBuffer(1, 1);
            states_[i] = layerCopy(2);
        }
        notePageBlocks();
    }
};

TEST_F(HistoryLayerRetry, AFailedLayerAllocationGivesUpTheOldestSnapshotAndSucceeds) {
    std::int32_t result = -1;
    const int allocations =
        forEachAllocationFailure([&] { prepareFull(); }, [&] { result = PLR_CreateLayer(5, 64, 64); },
                                 [&](int) {
                                     EXPECT_EQ(result, 1);
                                     EXPECT_TRUE(page().layers[5].hasPixels());
                                     EXPECT_EQ(PLR_GetUndoCount(), 2);  // 40 KB released covers the 32 KB wanted
                                     EXPECT_EQ(page().history.memoryKB, 40 + 2 * 40);
                                     pageBlocks_ += 1;  // the new layer
                                     expectNoLeakAndConsistent();
                                     PLR_Undo();
                                     EXPECT_TRUE(layerCopy(2) == states_[1]);
                                     PLR_Undo();
                                     EXPECT_TRUE(layerCopy(2) == states_[0]);
                                     EXPECT_EQ(PLR_CanUndo(), 0);
                                     PLR_Redo();
                                     PLR_Redo();
                                     EXPECT_TRUE(layerCopy(2) == states_[2]);
                                     expectStillWorks();
                                 });
    EXPECT_EQ(allocations, 1);
}

TEST_F(HistoryLayerRetry, WhenEvenAnEmptyHistoryIsNotEnoughTheSlotStaysEmpty) {
    prepareFull();
    mem::injectFailure(1, 1000);
    EXPECT_EQ(PLR_CreateLayer(5, 64, 64), 0);
    mem::injectFailure(0);
    EXPECT_FALSE(page().layers[5].hasPixels());
    EXPECT_EQ(PLR_GetUndoCount(), 0);
    EXPECT_EQ(page().history.memoryKB, 40);
    expectNoLeakAndConsistent();
    expectUnderAgrees();
    expectStillWorks();
    EXPECT_EQ(PLR_CreateLayer(5, 64, 64), 1);
}

}  // namespace
}  // namespace plr::test
