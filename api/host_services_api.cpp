// Host services: memory blocks, files, window and system queries.
#include <cstring>

#include "api/export.h"
#include "core/alloc.h"
#include "platform/platform.h"

using namespace plr;

namespace {

// Whole mebibytes, truncated to 32 bits.
uint32_t mebibytes(uint64_t bytes) { return static_cast<uint32_t>(bytes >> 20); }

platform::MemoryStatus memoryStatus() {
    platform::MemoryStatus ms;
    platform::memoryStatus(ms);
    return ms;
}

}  // namespace

extern "C" {

void* PLR_Alloc(uint32_t bytes) noexcept { return mem::allocate(bytes); }
void PLR_Free(void* block) noexcept { mem::release(block); }

void PLR_Memcpy(void* destination, const void* source, uint32_t bytes) noexcept {
    if (destination && source) std::memmove(destination, source, bytes);
}

void* BankAdrs(void* address) noexcept { return address; }

int32_t PLR_RenameFile(const char* oldPath, const char* newPath) noexcept {
    return platform::renameFile(oldPath, newPath) ? 1 : 0;
}

const char* PLR_GetDirInfo(void) noexcept {
    char* dir = engine().dirInfo;
    platform::windowsDirectory(dir, sizeof engine().dirInfo);
    return dir;
}

void PLR_SetStartDir(const char* path) noexcept {
    if (!path) return;
    const std::size_t n = std::strlen(path);
    if (n < sizeof engine().startDir) std::memcpy(engine().startDir, path, n + 1);
}

int32_t PLR_IsDisplayChanged(void) noexcept {
    if (!engine().host.displayChanged) return 0;
    engine().host.displayChanged = 0;
    return 1;
}

int32_t PLR_IsCompositionEnabled(void) noexcept { return platform::isCompositionEnabled() ? 1 : 0; }

int32_t PLR_SetWindowBasePos(int32_t left, int32_t top, int32_t right, int32_t bottom) noexcept {
    void* window = page().ownerWindow;
    platform::Rect32 r;
    if (!platform::getRestoredRect(window, r)) return 0;
    return platform::setRestoredRect(window, {left, top, right - 1, bottom - 1}) ? 1 : 0;
}

uint32_t PLR_GetWindowBackgroundColor(void) noexcept { return platform::sysColor(platform::kColorBtnFace); }
uint32_t PLR_GetWindowTextColor(void) noexcept { return platform::sysColor(platform::kColorBtnText); }
int32_t PLR_GetWindowCaptionSize(void) noexcept { return platform::systemMetric(platform::kSmCyCaption); }
int32_t PLR_GetWindowSmallCaptionSize(void) noexcept {
    return platform::systemMetric(platform::kSmCySmCaption);
}
int32_t PLR_GetWindowFixedFrameSize(void) noexcept { return platform::systemMetric(platform::kSmCyDlgFrame); }

uint32_t PLR_GetTotalPhyMemory(void) noexcept { return mebibytes(memoryStatus().totalPhys); }
uint32_t PLR_GetAvailPhyMemory(void) noexcept { return mebibytes(memoryStatus().availPhys); }
uint32_t PLR_GetTotalPgMemory(void) noexcept { return mebibytes(memoryStatus().totalPageFile); }
uint32_t PLR_GetAvailPgMemory(void) noexcept { return mebibytes(memoryStatus().availPageFile); }
uint32_t PLR_GetTotalVirMemory(void) noexcept { return mebibytes(memoryStatus().totalVirtual); }
uint32_t PLR_GetAvailVirMemory(void) noexcept { return mebibytes(memoryStatus().availVirtual); }

}  // extern "C"
