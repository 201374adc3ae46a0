// Running out of memory for real: a 10000 x 10000 page gains layers until
// the address space (lowered for a child process) is used up. The layer
// that cannot be had is refused with the export list's failure value, and
// every earlier layer keeps its pixels. Linux only; not under
// AddressSanitizer, whose shadow memory needs more address space than any
// such limit leaves.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/engine_invariants.h"
#include "engine_fixture.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define PALORAN_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PALORAN_UNDER_ASAN 1
#endif
#endif

namespace plr::test {
namespace {

using MemoryExhaustion = EngineTest;

#if defined(__linux__) && !defined(PALORAN_UNDER_ASAN)

constexpr std::int32_t kSide = 10000;
constexpr std::size_t kLayerBytes = std::size_t{kSide} * kSide * 8;

std::size_t addressSpaceInUse() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (f) {
        if (std::fscanf(f, "%lu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Each layer gets its own colour at its own place: (slot * 97, slot * 89).
std::uint32_t markOf(std::int32_t slot) { return 0x80000000u | static_cast<std::uint32_t>(slot * 0x010203); }
void mark(std::int32_t slot) {
    const std::uint32_t c = markOf(slot);
    std::uint8_t px[4];
    std::memcpy(px, &c, 4);
    PLR_LoadRGBA32Layer(px, 4, slot, slot * 97, slot * 89, 1, 1, 0);
}

// The child's checks, as an exit status: 0 when all hold.
int exhaustInChild() {
    PLR_CreateImage(nullptr, kSide, kSide, 16, 0);
    if (PLR_GetLastError()[0] != '\0') return 10;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = addressSpaceInUse() + 2 * kLayerBytes + (kLayerBytes / 2);
    if (::setrlimit(RLIMIT_AS, &limit) != 0) return 11;
    std::int32_t made = 0;
    std::uint32_t seen[10] = {};
    for (std::int32_t slot = 1; slot < 10; ++slot) {
        PLR_SetLastError("");
        if (PLR_CreateLayer(slot, kSide, kSide) == 0) break;  // the export list's failure value
        mark(slot);
        seen[slot] = PLR_GetRGBAAtLayer(slot * 97, slot * 89, slot);
        ++made;
    }
    if (made < 1 || made >= 9) return 12;          // the limit never bit, or bit at once
    if (PLR_GetLastError()[0] != '\0') return 13;  // refused by its result alone
    if (PLR_GetLayerCount() != made) return 14;
    for (std::int32_t slot = 1; slot <= made; ++slot) {
        const std::uint32_t got = PLR_GetRGBAAtLayer(slot * 97, slot * 89, slot);
        if (got != seen[slot]) return 20 + slot;
        if (PLR_GetRGBAAtLayer(slot * 97 + 1, slot * 89, slot) == got) return 30 + slot;  // marked, rest not
    }
    if (!engineInvariantViolation(engine()).empty()) return 15;
    PLR_DeleteImage();
    return 0;
}

TEST_F(MemoryExhaustion, LayersBeyondTheAddressSpaceAreRefusedAndEarlierLayersKeepTheirPixels) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(exhaustInChild());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died from signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see exhaustInChild for what the status means";
}

#else

TEST_F(MemoryExhaustion, LayersBeyondTheAddressSpaceAreRefusedAndEarlierLayersKeepTheirPixels) {
    GTEST_SKIP() << "needs fork and RLIMIT_AS without AddressSanitizer";
}

#endif

}  // namespace
}  // namespace plr::test
