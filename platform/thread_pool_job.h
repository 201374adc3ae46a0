#pragma once
// What both back ends of the worker pool share: the one job a call
// publishes, and the band loop every thread taking part runs.
#include <atomic>
#include <cstdint>

#include "platform/thread_pool.h"

namespace plr::platform::pool_job {

struct Job {
    BandFn fn;
    void* context;
    std::int32_t bands;
    std::int32_t helpers;  // workers 0..helpers-1 take part
    std::atomic<std::int32_t> next{0};
};

// Set while this thread runs bands: a call from inside a band runs serially.
inline thread_local bool tInsideBand = false;

inline void takeBands(Job& j) noexcept {
    const bool outer = tInsideBand;
    tInsideBand = true;
    for (std::int32_t b = j.next.fetch_add(1); b < j.bands; b = j.next.fetch_add(1)) j.fn(j.context, b);
    tInsideBand = outer;
}

inline void runSerially(std::int32_t bands, BandFn fn, void* context) noexcept {
    for (std::int32_t b = 0; b < bands; ++b) fn(context, b);
}

}  // namespace plr::platform::pool_job
