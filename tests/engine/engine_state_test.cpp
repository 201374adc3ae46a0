#include <cstdlib>
#include <string>

#include "core/cpu_features.h"
#include "engine/cpu_kernels.h"
#include "engine_fixture.h"
#include "history/undo_budget.h"
#include "layers/blend_eight.h"

namespace plr::test {
namespace {

bool noStatus(platform::MemoryStatus&) noexcept { return false; }

void setNoAvx2(const char* value) {
#ifdef _WIN32
    _putenv_s("PALORAN_NO_AVX2", value ? value : "");
#else
    if (value)
        setenv("PALORAN_NO_AVX2", value, 1);
    else
        unsetenv("PALORAN_NO_AVX2");
#endif
}

bool sameTable(const CpuKernels& a, const CpuKernels& b) {
    return a.avx2 == b.avx2 && a.chunkKernel == b.chunkKernel && a.eightPixelPath == b.eightPixelPath &&
           a.alphaRowPath == b.alphaRowPath &&
           a.blendCovered == b.blendCovered && a.normalRow == b.normalRow && a.smudgeRow == b.smudgeRow;
}

using EngineReset = EngineTest;

// Every seam a test may leave set goes back with the rest of the state;
// the attach handles stay.
TEST_F(EngineReset, ResetPutsEveryProcessWideSettingBack) {
    const platform::HostWindow host = engine().host;
    const CpuKernels atLoad = cpuKernelsAtLoad();
    allowFastPaths(false);
    setWideBlendEnabled(false);
    setMemoryStatusSource(&noStatus);
    PLR_GetDirInfo();
    engine().host.displayChanged = 1;
    mem::injectFailure(1000);
    resetEngine();
    EXPECT_TRUE(sameTable(cpuKernels(), atLoad));
    EXPECT_EQ(engine().memoryStatusSource, nullptr);
    EXPECT_EQ(engine().dirInfo[0], '\0');
    EXPECT_FALSE(mem::failurePending());
    EXPECT_EQ(engine().host.moduleInstance, host.moduleInstance);
    EXPECT_EQ(engine().host.hiddenWindow, host.hiddenWindow);
    EXPECT_EQ(engine().host.displayChanged, 0);
}

// PALORAN_NO_AVX2 (anything but "0") gives the baseline table; the test seam
// switches between the two tables and the wide blend alone.
TEST_F(EngineReset, TheKernelTableFollowsTheProcessorAndTheEnvironment) {
    const char* saved = std::getenv("PALORAN_NO_AVX2");
    const std::string keep = saved ? saved : "";
    setNoAvx2("1");
    EXPECT_TRUE(sameTable(cpuKernelsAtLoad(), cpuKernelsFor(false)));
    setNoAvx2("0");
    EXPECT_EQ(cpuKernelsAtLoad().avx2, cpuKernelsFor(true).avx2);
    setNoAvx2(saved ? keep.c_str() : nullptr);

    const CpuKernels baseline = cpuKernelsFor(false);
    EXPECT_FALSE(baseline.avx2);
    EXPECT_EQ(baseline.eightPixelPath(0), nullptr);
    EXPECT_EQ(baseline.alphaRowPath(0), nullptr);
    allowFastPaths(false);
    EXPECT_TRUE(sameTable(cpuKernels(), baseline));
    allowFastPaths(true);
    EXPECT_EQ(cpuKernels().avx2, processorHasAvx2());
    if (cpuKernels().avx2) {
        EXPECT_NE(eightPixelPath(0), nullptr);
        setWideBlendEnabled(false);
        EXPECT_EQ(eightPixelPath(0), nullptr);
        EXPECT_EQ(cpuKernels().chunkKernel, cpuKernelsFor(true).chunkKernel) << "only the wide blend is off";
    }
}

}  // namespace
}  // namespace plr::test
