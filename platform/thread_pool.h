#pragma once
// The engine's worker threads. One pool for the process: its threads start
// on the first call that asks for more than one thread and sleep between
// calls. A call hands out numbered bands; the calling thread takes bands too,
// so a call with `threads` = N runs on the caller and N - 1 workers.
#include <cstdint>

namespace plr::platform {

// Runs one band. Must not throw: callers catch inside (core/parallel_rows.h).
using BandFn = void (*)(void* context, std::int32_t band) noexcept;

// Most threads one call uses, caller included.
inline constexpr std::int32_t kMaxPoolThreads = 64;

// Logical processors the process may run on (at least 1).
std::int32_t processorCount() noexcept;

// Calls fn(context, b) once for every b in [0, bands), on up to `threads`
// threads, and returns when every band has run. Bands run in any order and
// at the same time. The calling thread runs every band itself (in order) when
// threads <= 1, when called from inside a band, while another thread's call
// is running, or when no worker can be started.
void runBands(std::int32_t threads, std::int32_t bands, BandFn fn, void* context) noexcept;

// Ends the workers and waits for them. Never call it from a band, nor (on
// Windows) from DllMain. The next call needing workers starts them again.
void stopThreadPool() noexcept;

// Workers alive now (for tests).
std::int32_t poolWorkers() noexcept;

}  // namespace plr::platform
