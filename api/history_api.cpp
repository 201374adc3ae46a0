// Undo and redo: recording, exchanging, the budget and the counters.
#include "api/export.h"
#include "history/history.h"

using namespace plr;

extern "C" {

void PLR_SaveUndoBuffer(int32_t savePixels, int32_t saveMask) noexcept {
    guardedExport<exported::PLR_SaveUndoBuffer>([&] { saveUndoBuffer(page(), (savePixels & 0xFF) != 0, (saveMask & 0xFF) != 0); });
}

void PLR_SaveUndoBackBuffer(int32_t index) noexcept {
    guardedExport<exported::PLR_SaveUndoBackBuffer>([&] { saveUndoBackBuffer(page(), index); });
}

void PLR_Undo(void) noexcept {
    guardedExport<exported::PLR_Undo>([] { undo(page()); });
}

void PLR_Redo(void) noexcept {
    guardedExport<exported::PLR_Redo>([] { redo(page()); });
}

void PLR_ClearUndo(void) noexcept {
    guardedExport<exported::PLR_ClearUndo>([] { clearUndo(page()); });
}

void PLR_ReduceUndo(int32_t kb) noexcept {
    guardedExport<exported::PLR_ReduceUndo>([&] { reduceUndo(page(), kb); });
}

int32_t PLR_SetUndoLevels(int32_t count) noexcept {
    return guardedExport<exported::PLR_SetUndoLevels>([&] { return setUndoLevels(page(), count); });
}

void PLR_SetUndoMB(int32_t megabytes) noexcept { setUndoMB(page(), megabytes); }

void PLR_PauseUndo(void) noexcept { page().history.paused = 1; }
void PLR_ResumeUndo(void) noexcept { page().history.paused = 0; }

int32_t PLR_CanUndo(void) noexcept { return canUndo(page()) ? 1 : 0; }
int32_t PLR_CanRedo(void) noexcept { return canRedo(page()) ? 1 : 0; }
int32_t PLR_GetRedoCount(void) noexcept { return page().history.redoCount; }
int32_t PLR_GetUndoCount(void) noexcept { return undoCount(page()); }

int32_t PLR_GetTotalUndoMemory(void) noexcept {
    recomputeUndoBudget(page());
    return page().history.budgetKB / 1024;
}

int32_t PLR_GetCurrentUndoMemory(void) noexcept { return page().history.memoryKB / 1024; }

uint32_t PLR_GetColorAtHistory(int32_t x, int32_t y) noexcept { return colorAtHistory(page(), x, y); }

}  // extern "C"
