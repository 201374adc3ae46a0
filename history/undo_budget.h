#pragma once
// Where the automatic undo budget reads the system's free memory. Tests put
// a fixed figure in its place; null (and resetEngine()) restores the system
// query.
#include "platform/platform.h"

namespace plr {

using MemoryStatusSource = bool (*)(platform::MemoryStatus&) noexcept;
void setMemoryStatusSource(MemoryStatusSource source) noexcept;
// The source in force. The setting is process-wide and lives in the engine
// state, which defines these two.
MemoryStatusSource memoryStatusSource() noexcept;

}  // namespace plr
