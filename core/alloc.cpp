#include "core/alloc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <malloc.h>
#endif

namespace plr::mem {
namespace {

constexpr std::size_t kAlign = 64;
// A header in front of every block records its size for the byte count; it
// is one alignment unit long so that the caller's pointer stays aligned.
constexpr std::size_t kHeader = kAlign;

// Counters shared by every thread that allocates (bands of a page walk may):
// each request gets its own number, so an injected failure hits exactly one.
std::atomic<std::int64_t> gLiveBlocks{0};
std::atomic<std::int64_t> gLiveBytes{0};
std::atomic<std::uint64_t> gAllocations{0};
std::atomic<std::uint64_t> gFailFrom{0};   // absolute request number of the first failure
std::atomic<std::uint64_t> gFailUntil{0};  // first request number that succeeds again

void* rawAlloc(std::size_t bytes) noexcept {
#if defined(_WIN32)
    return _aligned_malloc(bytes, kAlign);
#else
    void* p = nullptr;
    return posix_memalign(&p, kAlign, bytes) == 0 ? p : nullptr;
#endif
}

void rawFree(void* p) noexcept {
#if defined(_WIN32)
    _aligned_free(p);
#else
    std::free(p);
#endif
}

}  // namespace

void* allocate(std::size_t bytes) noexcept {
    const std::uint64_t request = ++gAllocations;
    if (request >= gFailFrom && request < gFailUntil) return nullptr;
    if (bytes > SIZE_MAX - kHeader) return nullptr;
    auto* raw = static_cast<unsigned char*>(rawAlloc(bytes + kHeader));
    if (!raw) return nullptr;
    std::memcpy(raw, &bytes, sizeof bytes);
    ++gLiveBlocks;
    gLiveBytes += static_cast<std::int64_t>(bytes);
    return raw + kHeader;
}

void release(void* block) noexcept {
    if (!block) return;
    auto* raw = static_cast<unsigned char*>(block) - kHeader;
    std::size_t bytes;
    std::memcpy(&bytes, raw, sizeof bytes);
    --gLiveBlocks;
    gLiveBytes -= static_cast<std::int64_t>(bytes);
    rawFree(raw);
}

Stats stats() noexcept { return Stats{gLiveBlocks.load(), gLiveBytes.load(), gAllocations.load()}; }

void injectFailure(std::uint64_t nth, std::uint64_t count) noexcept {
    if (nth == 0 || count == 0) {
        gFailFrom = 0;
        gFailUntil = 0;
        return;
    }
    gFailFrom = gAllocations + nth;
    gFailUntil = gFailFrom + count;
}

bool failurePending() noexcept { return gAllocations + 1 < gFailUntil; }

}  // namespace plr::mem
