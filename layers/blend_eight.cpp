#include "layers/blend_eight.h"

#include "engine/cpu_kernels.h"

namespace plr {

EightFn eightPixelPath(std::int32_t formula) noexcept { return cpuKernels().eightPixelPath(formula); }

}  // namespace plr
