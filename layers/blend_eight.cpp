#include "layers/blend_eight.h"

namespace plr {
namespace {
bool gWideEnabled = true;

bool processorHasAvx2() noexcept {
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}
}  // namespace

EightFn eightPixelPath(std::int32_t formula) noexcept {
    if (!gWideEnabled || !processorHasAvx2() || formula < 0 || formula > 18) return nullptr;
    return eightPixelFunctionAvx2(formula);
}

void setWideBlendEnabled(bool on) noexcept { gWideEnabled = on; }

}  // namespace plr
