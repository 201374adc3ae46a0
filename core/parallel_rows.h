#pragma once
// Splitting one large page walk over the pool's threads: parallelRows(height,
// minRows, fn) calls fn(y0, y1) for disjoint bands of rows [y0, y1) covering
// [0, height), at the same time on several threads. fn must write only its
// own rows and read nothing another band writes, so the result is the same
// bytes for any thread count. Scratch it needs is allocated before the call.
//
// Failures: a band that raises (EngineFailure, bad_alloc, anything) or, on
// Windows, faults stops there; the other bands run to their end and the first
// band's failure in row order is raised again on the calling thread, so the
// export's guard reports it as it would on one thread.
#include <cstdint>
#include <exception>
#include <type_traits>

#include "core/band_settings.h"
#include "core/failure.h"
#include "platform/fault_guard.h"
#include "platform/thread_pool.h"

namespace plr {

namespace detail {

struct BandFailure {
    std::exception_ptr raised;  // the exception, or null for a processor fault
    bool failed = false;
};

// Bands for `height` rows of at least `minRows` each: one on one thread,
// otherwise up to four a thread so that a thread slowed by other work is
// caught up by the rest.
inline std::int32_t bandCount(std::int32_t threads, std::int32_t height, std::int32_t minRows) noexcept {
    if (threads <= 1 || height <= 1) return 1;
    const std::int64_t byRows = height / (minRows < 1 ? 1 : minRows);
    const std::int64_t most = static_cast<std::int64_t>(threads) * 4;
    return static_cast<std::int32_t>(byRows < 1 ? 1 : (byRows < most ? byRows : most));
}

template <class F>
struct BandRun {
    F* fn;
    std::int32_t height;
    std::int32_t bands;
    BandFailure* failures;  // one a band

    static void run(void* context, std::int32_t b) noexcept {
        auto& r = *static_cast<BandRun*>(context);
        struct Call {
            BandRun* r;
            std::int32_t b;
            bool finished;
        } call{&r, b, false};
        const bool noFault = platform::runFaultGuarded(
            [](void* p) noexcept {
                Call& c = *static_cast<Call*>(p);
                const std::int64_t h = c.r->height, n = c.r->bands;
                try {
                    (*c.r->fn)(static_cast<std::int32_t>(h * c.b / n), static_cast<std::int32_t>(h * (c.b + 1) / n));
                    c.finished = true;
                } catch (...) {
                    c.r->failures[c.b].raised = std::current_exception();
                }
            },
            &call);
        if (!noFault || !call.finished) r.failures[b].failed = true;
    }
};

}  // namespace detail

// The fewest rows worth a band for rows of `rowBytes` bytes (a band of
// about 256 KB or more: below that, waking a thread costs more than it saves).
inline std::int32_t minBandRows(std::int64_t rowBytes) noexcept {
    return static_cast<std::int32_t>(1 + 262144 / (rowBytes < 1 ? 1 : rowBytes));
}

template <class F>
void parallelRows(std::int32_t height, std::int32_t minRowsPerBand, F&& fn) {
    if (height <= 0) return;
    const BandSettings settings = bandSettings();
    const std::int32_t threads = settings.threads;
    const std::int32_t bands = detail::bandCount(threads, height, settings.anySize ? 1 : minRowsPerBand);
    if (bands == 1) {
        fn(0, height);
        return;
    }
    // Bands are at most 4 x kMaxPoolThreads: their failure slots live here.
    detail::BandFailure failures[4 * platform::kMaxPoolThreads];
    using Fn = std::remove_reference_t<F>;
    detail::BandRun<Fn> run{&fn, height, bands, failures};
    platform::runBands(threads, bands, &detail::BandRun<Fn>::run, &run);
    for (std::int32_t b = 0; b < bands; ++b) {
        if (!failures[b].failed) continue;
        if (failures[b].raised) std::rethrow_exception(failures[b].raised);
        fail("fault");
    }
}

// How many bands parallelRows(height, minRows, ...) makes now: walks that
// need scratch of their own per band take it for this many before the walk.
inline std::int32_t bandsFor(std::int32_t height, std::int32_t minRowsPerBand) noexcept {
    if (height <= 0) return 0;
    const BandSettings settings = bandSettings();
    return detail::bandCount(settings.threads, height, settings.anySize ? 1 : minRowsPerBand);
}

// parallelRows, with each band's number (0 .. bandsFor() - 1) passed first:
// fn(band, y0, y1).
template <class F>
void parallelBands(std::int32_t height, std::int32_t minRowsPerBand, F&& fn) {
    const std::int64_t n = bandsFor(height, minRowsPerBand);
    parallelRows(height, minRowsPerBand, [&](std::int32_t y0, std::int32_t y1) {
        // Band b starts at height * b / n rounded down, and n <= height, so b
        // is the one whole number from y0 * n / height up to (y0 + 1) * n / height.
        fn(static_cast<std::int32_t>((std::int64_t{y0} * n + height - 1) / height), y0, y1);
    });
}

}  // namespace plr
