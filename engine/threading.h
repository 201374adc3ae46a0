#pragma once
// How many threads a large page walk may use (core/parallel_rows.h). The
// engine state holds the count: at load, and again at every resetEngine(),
// PALORAN_THREADS=N when set to a positive number (1 forces every walk onto
// the calling thread, for bug reports and timing), otherwise the processors
// the process may run on.
#include <cstdint>

#include "core/band_settings.h"

namespace plr {

BandSettings bandSettingsAtLoad() noexcept;

// Test seam: the count in force until the next resetEngine() (held to
// 1..64); with anySize, walks split even the smallest pictures into bands
// of down to one row, so that small test pictures take the banded paths.
void setThreadCount(std::int32_t threads, bool anySize = false) noexcept;

}  // namespace plr
