// The memory budget: fixed in MB by the host, or derived from free memory.
#include "history/undo_budget.h"

#include <algorithm>
#include <cstdint>

#include "history/history.h"
#include "history/page_history.h"

namespace plr {

// 85 % of the smaller of free memory and free page file, plus what the history
// already holds, less 20 KB per KB-pixel of the page; at least 15 KB per KB-pixel.
void recomputeUndoBudget(PageHistory& page) {
    History& h = page.history;
    if (h.autoBudget != 1) return;
    platform::MemoryStatus ms;
    const MemoryStatusSource source = memoryStatusSource();
    if (source ? !source(ms) : !platform::memoryStatus(ms)) ms = platform::MemoryStatus{};
    const double freeKB = static_cast<double>(std::min(ms.availPhys, ms.availPageFile) >> 10);
    const double x = freeKB * 0.85 + h.memoryKB;
    const std::int64_t p = static_cast<std::int64_t>(page.width) * page.height / 1024;
    std::int64_t budget = static_cast<std::int64_t>(std::min(x, 9.0e18)) - 20 * p;
    if (budget < 15 * p) budget = 15 * p;
    h.budgetKB = static_cast<std::int32_t>(std::min<std::int64_t>(budget, INT32_MAX));
}

void setUndoMB(PageHistory& page, std::int32_t megabytes) {
    History& h = page.history;
    if (megabytes != 0) {
        h.autoBudget = 0;
        // A negative budget behaves like 0; a huge one is capped, not wrapped.
        h.budgetKB =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{megabytes} * 1024, INT32_MIN, INT32_MAX));
        return;
    }
    h.autoBudget = 1;
    recomputeUndoBudget(page);
}

}  // namespace plr
