// The worker pool on Win32 threads, slim reader/writer locks and condition
// variables (no threading run-time needed). Same protocol as the portable
// pool: one job published at a time, workers wake on a generation count,
// the caller takes bands too and waits until no worker is inside the job.
//
// Unloading: every worker holds a reference on the module its code lives in
// and drops it as its last act (FreeLibraryAndExitThread). A FreeLibrary
// while workers live therefore leaves the library mapped instead of pulling
// the code from under sleeping threads, and nothing here ever waits for a
// thread inside DllMain. PLR_IPLExit stops the workers (and so lets the
// library go); at process exit the system ends them.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/thread_pool.h"
#include "platform/thread_pool_job.h"

namespace plr::platform {
namespace {

using pool_job::Job;
using pool_job::runSerially;
using pool_job::takeBands;
using pool_job::tInsideBand;

struct Pool {
    SRWLOCK call = SRWLOCK_INIT;
    SRWLOCK m = SRWLOCK_INIT;
    CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT, idle = CONDITION_VARIABLE_INIT;
    HANDLE workers[kMaxPoolThreads - 1] = {};
    std::int32_t count = 0;
    Job* job = nullptr;
    std::uint64_t generation = 0;
    std::int32_t active = 0;
    bool stopping = false;
};

Pool gPool;  // trivially destroyed: nothing runs at unload

struct Start {
    std::int32_t index;
    std::uint64_t seen;
};

void work(std::int32_t index, std::uint64_t seen) noexcept {
    Pool& p = gPool;
    AcquireSRWLockExclusive(&p.m);
    for (;;) {
        while (!p.stopping && p.generation == seen) SleepConditionVariableSRW(&p.wake, &p.m, INFINITE, 0);
        if (p.stopping) break;
        seen = p.generation;
        Job* j = p.job;
        if (!j || index >= j->helpers) continue;
        ++p.active;
        ReleaseSRWLockExclusive(&p.m);
        takeBands(*j);
        AcquireSRWLockExclusive(&p.m);
        if (--p.active == 0) WakeAllConditionVariable(&p.idle);
    }
    ReleaseSRWLockExclusive(&p.m);
}

DWORD WINAPI workerMain(LPVOID param) {
    const Start s = *static_cast<Start*>(param);
    HeapFree(GetProcessHeap(), 0, param);
    work(s.index, s.seen);
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&workerMain), &self);
    FreeLibraryAndExitThread(self, 0);
    return 0;
}

// Workers up to `wanted`, as many as the system gives; called under `call`.
std::int32_t grow(std::int32_t wanted) noexcept {
    Pool& p = gPool;
    while (p.count < wanted) {
        // The worker's own reference on this module, dropped as it exits.
        HMODULE self = nullptr;
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&workerMain), &self))
            break;
        auto* start = static_cast<Start*>(HeapAlloc(GetProcessHeap(), 0, sizeof(Start)));
        HANDLE h = nullptr;
        if (start) {
            AcquireSRWLockShared(&p.m);
            *start = Start{p.count, p.generation};
            ReleaseSRWLockShared(&p.m);
            h = CreateThread(nullptr, 0, &workerMain, start, 0, nullptr);
        }
        if (!h) {
            if (start) HeapFree(GetProcessHeap(), 0, start);
            FreeLibrary(self);
            break;
        }
        AcquireSRWLockExclusive(&p.m);
        p.workers[p.count++] = h;
        ReleaseSRWLockExclusive(&p.m);
    }
    return std::min(p.count, wanted);
}

}  // namespace

std::int32_t processorCount() noexcept {
    DWORD_PTR process = 0, system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0)
        return static_cast<std::int32_t>(__builtin_popcountll(static_cast<unsigned long long>(process)));
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(si.dwNumberOfProcessors));
}

void runBands(std::int32_t threads, std::int32_t bands, BandFn fn, void* context) noexcept {
    if (threads <= 1 || bands <= 1 || tInsideBand) return runSerially(bands, fn, context);
    Pool& p = gPool;
    if (!TryAcquireSRWLockExclusive(&p.call)) return runSerially(bands, fn, context);
    const std::int32_t helpers = grow(std::min({threads, bands, kMaxPoolThreads}) - 1);
    if (helpers <= 0) {
        ReleaseSRWLockExclusive(&p.call);
        return runSerially(bands, fn, context);
    }
    Job j{fn, context, bands, helpers};
    AcquireSRWLockExclusive(&p.m);
    p.job = &j;
    ++p.generation;
    ReleaseSRWLockExclusive(&p.m);
    WakeAllConditionVariable(&p.wake);
    takeBands(j);
    AcquireSRWLockExclusive(&p.m);
    while (p.active != 0) SleepConditionVariableSRW(&p.idle, &p.m, INFINITE, 0);
    p.job = nullptr;
    ReleaseSRWLockExclusive(&p.m);
    ReleaseSRWLockExclusive(&p.call);
}

void stopThreadPool() noexcept {
    if (tInsideBand) return;
    Pool& p = gPool;
    AcquireSRWLockExclusive(&p.call);
    AcquireSRWLockExclusive(&p.m);
    p.stopping = true;
    ReleaseSRWLockExclusive(&p.m);
    WakeAllConditionVariable(&p.wake);
    for (std::int32_t i = 0; i < p.count; ++i) {
        WaitForSingleObject(p.workers[i], INFINITE);
        CloseHandle(p.workers[i]);
    }
    AcquireSRWLockExclusive(&p.m);
    p.count = 0;
    p.stopping = false;
    ReleaseSRWLockExclusive(&p.m);
    ReleaseSRWLockExclusive(&p.call);
}

std::int32_t poolWorkers() noexcept {
    AcquireSRWLockShared(&gPool.m);
    const std::int32_t n = gPool.count;
    ReleaseSRWLockShared(&gPool.m);
    return n;
}

}  // namespace plr::platform
