#include "core/cpu_features.h"

#include <cstdlib>
#include <cstring>

namespace plr {

bool processorHasAvx2() noexcept {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#else
    return false;
#endif
}

bool avx2AllowedByEnvironment() noexcept {
    const char* v = std::getenv("PALORAN_NO_AVX2");
    return !(v && *v && std::strcmp(v, "0") != 0);
}

}  // namespace plr
