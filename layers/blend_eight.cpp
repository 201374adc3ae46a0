#include "layers/blend_eight.h"

#include "core/cpu_features.h"

namespace plr {
namespace {
bool gWideEnabled = true;
}  // namespace

EightFn eightPixelPath(std::int32_t formula) noexcept {
    if (!gWideEnabled || !useAvx2() || formula < 0 || formula > 18) return nullptr;
    return eightPixelFunctionAvx2(formula);
}

void setWideBlendEnabled(bool on) noexcept { gWideEnabled = on; }

}  // namespace plr
