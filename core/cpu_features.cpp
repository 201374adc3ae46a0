#include "core/cpu_features.h"

#include <cstdlib>
#include <cstring>

namespace plr {
namespace {

bool detectAvx2() noexcept {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// PALORAN_NO_AVX2=1 in the environment forces the baseline loops in any
// binary, for bug reports and for comparing results across machines.
bool allowedByEnvironment() noexcept {
    const char* v = std::getenv("PALORAN_NO_AVX2");
    return !(v && *v && std::strcmp(v, "0") != 0);
}

const bool gHaveAvx2 = detectAvx2();
bool gAllowed = allowedByEnvironment();

}  // namespace

bool useAvx2() noexcept { return gAllowed && gHaveAvx2; }
void allowFastPaths(bool allowed) noexcept { gAllowed = allowed; }

}  // namespace plr
