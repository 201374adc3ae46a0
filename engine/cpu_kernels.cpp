#include "engine/cpu_kernels.h"

#include "core/cpu_features.h"
#include "core/layer_load_avx2.h"
#include "core/layer_load_sse2.h"
#include "engine/engine.h"
#include "layers/layer_load.h"

namespace plr {
namespace {

draw::ChunkFn chunkKernelWide(std::int32_t formula) noexcept {
    if (draw::ChunkFn k = draw::chunkKernelAvx2(formula)) return k;
    return draw::chunkKernelSse2(formula);
}

EightFn noEightPixelPath(std::int32_t) noexcept { return nullptr; }

EightFn eightPixelWide(std::int32_t formula) noexcept {
    return formula < 0 || formula > 18 ? nullptr : eightPixelFunctionAvx2(formula);
}

AlphaRowFn noAlphaRowPath(std::int32_t) noexcept { return nullptr; }

void normalRowBaseline(const dab::NormalRow& n, std::uint16_t* px, const std::uint32_t* cov,
                       std::int32_t count) noexcept {
    dab::normalRowScalar(n, px, cov, count);
}

void smudgeRowBaseline(const dab::SmudgeRow& k, std::uint16_t* px, std::uint16_t* mix, const std::uint32_t* cov,
                       std::int32_t count) noexcept {
    dab::smudgeRowScalar(k, px, mix, cov, count);
}

bool rotatedRowBaseline(const dab::RotatedRow& r, std::int32_t count, std::int32_t* cells,
                        std::uint32_t* shapeValues) noexcept {
    return dab::rotatedRowScalar(r, count, cells, shapeValues);
}

}  // namespace

CpuKernels cpuKernelsFor(bool avx2) noexcept {
    CpuKernels k;
    k.avx2 = avx2;
    k.chunkKernel = avx2 ? &chunkKernelWide : &draw::chunkKernelSse2;
    k.eightPixelPath = avx2 ? &eightPixelWide : &noEightPixelPath;
    k.alphaRowPath = avx2 ? &alphaRowFunctionAvx2 : &noAlphaRowPath;
    k.blendCovered = avx2 ? &avx2::blendCovered : &sse2::blendCovered;
    k.normalRow = avx2 ? &dab::normalRowAvx2 : &normalRowBaseline;
    k.smudgeRow = avx2 ? &dab::smudgeRowAvx2 : &smudgeRowBaseline;
    k.rotatedRow = avx2 ? &dab::rotatedRowAvx2 : &rotatedRowBaseline;
    return k;
}

CpuKernels cpuKernelsAtLoad() noexcept { return cpuKernelsFor(processorHasAvx2() && avx2AllowedByEnvironment()); }

const CpuKernels& cpuKernels() noexcept { return engine().kernels; }

// The levels below reach the table through these accessors, declared beside
// the kernels they choose between.
EightFn eightPixelPath(std::int32_t formula) noexcept { return cpuKernels().eightPixelPath(formula); }
AlphaRowFn alphaRowPath(std::int32_t formula) noexcept { return cpuKernels().alphaRowPath(formula); }
draw::ChunkFn draw::chunkKernel(std::int32_t formula) noexcept { return cpuKernels().chunkKernel(formula); }
CoveredBlendFn coveredBlendKernel() noexcept { return cpuKernels().blendCovered; }
dab::NormalRowFn dab::normalRowKernel() noexcept { return cpuKernels().normalRow; }
dab::SmudgeRowFn dab::smudgeRowKernel() noexcept { return cpuKernels().smudgeRow; }
dab::RotatedRowFn dab::rotatedRowKernel() noexcept { return cpuKernels().rotatedRow; }

void allowFastPaths(bool allowed) noexcept { engine().kernels = cpuKernelsFor(allowed && processorHasAvx2()); }

void setWideBlendEnabled(bool on) noexcept {
    CpuKernels& k = engine().kernels;
    k.eightPixelPath = on && k.avx2 ? &eightPixelWide : &noEightPixelPath;
    k.alphaRowPath = on && k.avx2 ? &alphaRowFunctionAvx2 : &noAlphaRowPath;
}

}  // namespace plr
