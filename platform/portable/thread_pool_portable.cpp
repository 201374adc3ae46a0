// The worker pool on the C++ standard library's threads. Workers sleep on
// a condition variable between calls; a call publishes one job, wakes them,
// takes bands itself and waits until no worker is still inside the job (the
// job lives on the caller's stack).
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/thread_pool.h"
#include "platform/thread_pool_job.h"

#if defined(__linux__)
#include <sched.h>
#endif

namespace plr::platform {
namespace {

using pool_job::Job;
using pool_job::runSerially;
using pool_job::takeBands;
using pool_job::tInsideBand;

struct Pool {
    std::mutex call;  // one call at a time; others run serially
    std::mutex m;     // guards everything below
    std::condition_variable wake, idle;
    std::thread workers[kMaxPoolThreads - 1];
    std::int32_t count = 0;
    Job* job = nullptr;
    std::uint64_t generation = 0;
    std::int32_t active = 0;  // workers inside `job`
    bool stopping = false;
    bool closed = false;  // the library is unloading: no new workers

    void work(std::int32_t index, std::uint64_t seen) noexcept {
        std::unique_lock<std::mutex> lk(m);
        for (;;) {
            wake.wait(lk, [&] { return stopping || generation != seen; });
            if (stopping) return;
            seen = generation;
            Job* j = job;
            if (!j || index >= j->helpers) continue;
            ++active;
            lk.unlock();
            takeBands(*j);
            lk.lock();
            if (--active == 0) idle.notify_all();
        }
    }

    // Workers up to `wanted`, as many as the system gives; called under `call`.
    std::int32_t grow(std::int32_t wanted) noexcept {
        while (count < wanted && !closed) {
            std::uint64_t seen;
            {
                std::lock_guard<std::mutex> lk(m);
                seen = generation;
            }
            try {
                workers[count] = std::thread([this, index = count, seen] { work(index, seen); });
            } catch (...) {
                break;
            }
            std::lock_guard<std::mutex> lk(m);
            ++count;
        }
        return std::min(count, wanted);
    }

    void stop() noexcept {
        {
            std::lock_guard<std::mutex> lk(m);
            stopping = true;
        }
        wake.notify_all();
        for (std::int32_t i = 0; i < count; ++i) workers[i].join();
        std::lock_guard<std::mutex> lk(m);
        count = 0;
        stopping = false;
    }
};

// Never destroyed: a host may call in from its own static destructors.
Pool& pool() noexcept {
    static Pool* p = new Pool();
    return *p;
}

// Unloading (dlclose or process exit) ends the workers before the code they
// sleep in goes away; later calls run on the caller alone.
struct StopAtUnload {
    ~StopAtUnload() {
        Pool& p = pool();
        std::lock_guard<std::mutex> lk(p.call);
        p.stop();
        p.closed = true;
    }
} gStopAtUnload;

}  // namespace

std::int32_t processorCount() noexcept {
#if defined(__linux__)
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) return std::max(1, CPU_COUNT(&set));
#endif
    return std::max(1, static_cast<std::int32_t>(std::thread::hardware_concurrency()));
}

void runBands(std::int32_t threads, std::int32_t bands, BandFn fn, void* context) noexcept {
    if (threads <= 1 || bands <= 1 || tInsideBand) return runSerially(bands, fn, context);
    Pool& p = pool();
    std::unique_lock<std::mutex> call(p.call, std::try_to_lock);
    if (!call.owns_lock()) return runSerially(bands, fn, context);
    const std::int32_t helpers = p.grow(std::min({threads, bands, kMaxPoolThreads}) - 1);
    if (helpers <= 0) return runSerially(bands, fn, context);
    Job j{fn, context, bands, helpers};
    {
        std::lock_guard<std::mutex> lk(p.m);
        p.job = &j;
        ++p.generation;
    }
    p.wake.notify_all();
    takeBands(j);
    std::unique_lock<std::mutex> lk(p.m);
    p.idle.wait(lk, [&] { return p.active == 0; });
    p.job = nullptr;
}

void stopThreadPool() noexcept {
    if (tInsideBand) return;
    Pool& p = pool();
    std::lock_guard<std::mutex> call(p.call);
    p.stop();
}

std::int32_t poolWorkers() noexcept {
    Pool& p = pool();
    std::lock_guard<std::mutex> lk(p.m);
    return p.count;
}

}  // namespace plr::platform
