#include "platform/memory_prefault.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace plr::platform {

void prefaultForWriting(void* begin, std::size_t bytes) noexcept {
#if defined(__linux__)
// Linux 5.14 and later; older kernels answer EINVAL and the pages fault in as written.
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif
    // Below a megabyte the faults cost less than the call is worth.
    constexpr std::size_t kWorthIt = std::size_t{1} << 20;
    if (!begin || bytes < kWorthIt) return;
    static const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pageSize <= 0) return;
    const auto page = static_cast<std::uintptr_t>(pageSize);
    const auto at = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (at + page - 1) / page * page, end = (at + bytes) / page * page;
    if (end > first) (void)::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)begin;
    (void)bytes;
#endif
}

}  // namespace plr::platform
