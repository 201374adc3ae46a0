#include "core/alloc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/memory_prefault.h"

#if defined(__SANITIZE_ADDRESS__)
#define PALORAN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PALORAN_ASAN 1
#endif
#endif
#if defined(PALORAN_ASAN)
#include <sanitizer/asan_interface.h>
#endif

#if defined(_WIN32)
#include <malloc.h>
#endif

namespace plr::mem {
namespace {

constexpr std::size_t kAlign = 64;
// A header in front of every block records the bytes asked for (the byte
// count) and the bytes the block holds (a kept block may serve a request a
// little smaller than itself); it is one alignment unit long so that the
// caller's pointer stays aligned.
constexpr std::size_t kHeader = kAlign;
struct Header {
    std::size_t bytes;
    std::size_t capacity;
};
static_assert(sizeof(Header) <= kHeader);

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

// The kept large blocks (raw pointers, header included), most recent last.
struct Retained {
    std::mutex lock;
    unsigned char* block[kRetainedBlocks] = {};
    std::size_t capacity[kRetainedBlocks] = {};
};
// The heap's own bookkeeping, like the counters above; never destroyed, as
// a host may still release blocks from its own static destructors.
Retained& retained() noexcept {
    static Retained* r = new Retained();
    return *r;
}

void poison(unsigned char* raw, std::size_t capacity, bool on) noexcept {
#if defined(PALORAN_ASAN)
    // A kept block is not the engine's: the address checker still reports
    // any use of it after its release.
    if (on)
        ASAN_POISON_MEMORY_REGION(raw + kHeader, capacity);
    else
        ASAN_UNPOISON_MEMORY_REGION(raw + kHeader, capacity);
#else
    (void)raw, (void)capacity, (void)on;
#endif
}

// A kept block for `bytes`: one holding at least that many and no more than
// a quarter again (so a crop's slightly smaller planes reuse the old ones),
// or null.
unsigned char* takeRetained(std::size_t bytes, std::size_t& capacity) noexcept {
    if (bytes < kRetainFromBytes) return nullptr;
    Retained& r = retained();
    std::lock_guard<std::mutex> hold(r.lock);
    for (int i = kRetainedBlocks - 1; i >= 0; --i) {
        if (!r.block[i] || r.capacity[i] < bytes || r.capacity[i] - bytes > r.capacity[i] / 4) continue;
        unsigned char* raw = r.block[i];
        capacity = r.capacity[i];
        r.block[i] = nullptr;
        poison(raw, capacity, false);
        return raw;
    }
    return nullptr;
}

// Keeps a released large block as the most recent one; when every slot is
// taken the oldest goes. A take may empty any slot, so the kept ones close
// up first: their order stays the order they were released in.
bool keep(unsigned char* raw, std::size_t capacity) noexcept {
    if (capacity < kRetainFromBytes || capacity > kRetainedBytesAtMost / kRetainedBlocks) return false;
    Retained& r = retained();
    unsigned char* dropped = nullptr;
    {
        std::lock_guard<std::mutex> hold(r.lock);
        int used = 0;
        for (int i = 0; i < kRetainedBlocks; ++i) {
            if (!r.block[i]) continue;
            r.block[used] = r.block[i];
            r.capacity[used] = r.capacity[i];
            ++used;
        }
        for (int i = used; i < kRetainedBlocks; ++i) r.block[i] = nullptr, r.capacity[i] = 0;
        if (used == kRetainedBlocks) {  // full: the oldest goes
            dropped = r.block[0];
            for (int i = 1; i < kRetainedBlocks; ++i) r.block[i - 1] = r.block[i], r.capacity[i - 1] = r.capacity[i];
            used = kRetainedBlocks - 1;
        }
        poison(raw, capacity, true);
        r.block[used] = raw;
        r.capacity[used] = capacity;
    }
    if (dropped) rawFree(dropped);
    return true;
}

}  // namespace

std::size_t releaseRetained() noexcept {
    Retained& r = retained();
    unsigned char* blocks[kRetainedBlocks];
    std::size_t total = 0;
    {
        std::lock_guard<std::mutex> hold(r.lock);
        for (int i = 0; i < kRetainedBlocks; ++i) {
            blocks[i] = r.block[i];
            if (blocks[i]) total += r.capacity[i];
            r.block[i] = nullptr;
            r.capacity[i] = 0;
        }
    }
    for (unsigned char* raw : blocks)
        if (raw) rawFree(raw);
    return total;
}

std::size_t retainedBytes() noexcept {
    Retained& r = retained();
    std::lock_guard<std::mutex> hold(r.lock);
    std::size_t total = 0;
    for (int i = 0; i < kRetainedBlocks; ++i)
        if (r.block[i]) total += r.capacity[i];
    return total;
}

namespace {

// The block for `bytes`, and whether it is fresh from the system (not one
// kept from an earlier release).
void* obtain(std::size_t bytes, bool& fresh) noexcept {
    fresh = false;
    const std::uint64_t request = ++gAllocations;
    if (request >= gFailFrom && request < gFailUntil) return nullptr;
    if (bytes > SIZE_MAX - kHeader) return nullptr;
    std::size_t capacity = bytes;
    auto* raw = takeRetained(bytes, capacity);
    if (!raw) {
        fresh = true;
        raw = static_cast<unsigned char*>(rawAlloc(bytes + kHeader));
        // Short of memory: what is kept goes back first.
        if (!raw && releaseRetained() > 0) raw = static_cast<unsigned char*>(rawAlloc(bytes + kHeader));
    }
    if (!raw) return nullptr;
    const Header h{bytes, capacity};
    std::memcpy(raw, &h, sizeof h);
    ++gLiveBlocks;
    gLiveBytes += static_cast<std::int64_t>(bytes);
    return raw + kHeader;
}

}  // namespace

void* allocate(std::size_t bytes) noexcept {
    bool fresh;
    return obtain(bytes, fresh);
}

void* allocateToFill(std::size_t bytes) noexcept {
    bool fresh;
    void* block = obtain(bytes, fresh);
    // A kept block is present already; asking again only walks its pages.
    if (block && fresh) platform::prefaultForWriting(block, bytes);
    return block;
}

void release(void* block) noexcept {
    if (!block) return;
    auto* raw = static_cast<unsigned char*>(block) - kHeader;
    Header h;
    std::memcpy(&h, raw, sizeof h);
    --gLiveBlocks;
    gLiveBytes -= static_cast<std::int64_t>(h.bytes);
    if (!keep(raw, h.capacity)) rawFree(raw);
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
