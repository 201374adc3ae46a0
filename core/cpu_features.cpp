#include "core/cpu_features.h"

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

const bool gHaveAvx2 = detectAvx2();
bool gAllowed = true;

}  // namespace

bool useAvx2() noexcept { return gAllowed && gHaveAvx2; }
void allowFastPaths(bool allowed) noexcept { gAllowed = allowed; }

}  // namespace plr
